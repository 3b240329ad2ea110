#include "Platform/FaceDetectionModule.h"

#include "Support/BuildInfo.h"

#include <QLibrary>

namespace FaceDetectionModule {

namespace {

using MakeDetector = FaceDetector* (*)(QString*);

struct Entry {
    MakeDetector make = nullptr;
    QString error;
};

Entry load()
{
    QStringList failures;
    for (const QString& folder : BuildInfo::moduleFolders()) {
        // Never unloaded: QLibrary keeps the module loaded after the object is gone.
        QLibrary library(folder + QStringLiteral("/parlivox_faces"));
        if (!library.load()) {
            failures << library.errorString();
            continue;
        }
        if (auto make = reinterpret_cast<MakeDetector>(library.resolve("parlivoxMakeFaceDetector")))
            return {make, {}};
        failures << library.errorString();
    }
    return {nullptr, QStringLiteral("the face-detection module cannot be loaded (%1)").arg(failures.join(QStringLiteral("; ")))};
}

}  // namespace

std::unique_ptr<FaceDetector> makeDetector(QString* error)
{
    static const Entry entry = load();
    if (!entry.make) {
        if (error)
            *error = entry.error;
        return nullptr;
    }
    return std::unique_ptr<FaceDetector>(entry.make(error));
}

}  // namespace FaceDetectionModule
