#include "Common/SpeechWav.h"

#include <QFileInfo>
#include <QProcess>

namespace SpeechWav {

bool render(const QString& text, const QString& path, QString* error, const Options& options)
{
    QStringList arguments{QStringLiteral("-v"), options.voice, QStringLiteral("-w"), path};
    if (options.wordsPerMinute > 0)
        arguments << QStringLiteral("-s") << QString::number(options.wordsPerMinute);
    if (options.ssml)
        arguments << QStringLiteral("-m");
    // The text goes through stdin so that nothing in it can be read as an option.
    arguments << QStringLiteral("--stdin");

    QProcess espeak;
    espeak.start(QStringLiteral("espeak-ng"), arguments);
    if (!espeak.waitForStarted()) {
        if (error)
            *error = QStringLiteral("espeak-ng could not be started: ") + espeak.errorString();
        return false;
    }
    espeak.write(text.toUtf8());
    espeak.closeWriteChannel();
    if (!espeak.waitForFinished(30000) || espeak.exitStatus() != QProcess::NormalExit || espeak.exitCode() != 0) {
        if (error)
            *error =
                QStringLiteral("espeak-ng failed: ") + QString::fromLocal8Bit(espeak.readAllStandardError()).trimmed();
        return false;
    }
    if (QFileInfo(path).size() <= 44) {
        if (error)
            *error = QStringLiteral("espeak-ng wrote no audio to ") + path;
        return false;
    }
    return true;
}

bool goForward(const QString& path, int rate, int channels, double secondsBefore)
{
    const QStringList raw{QStringLiteral("-t"), QStringLiteral("raw"),    QStringLiteral("-r"), QStringLiteral("16000"),
                          QStringLiteral("-e"), QStringLiteral("signed"), QStringLiteral("-b"), QStringLiteral("16"),
                          QStringLiteral("-c"), QStringLiteral("1")};
    return QProcess::execute(QStringLiteral("sox"),
                             raw + QStringList{QStringLiteral("/usr/share/pocketsphinx/test/data/goforward.raw"),
                                               QStringLiteral("-r"), QString::number(rate), QStringLiteral("-c"),
                                               QString::number(channels), path, QStringLiteral("pad"),
                                               QString::number(secondsBefore), QStringLiteral("1.0")}) == 0;
}

}  // namespace SpeechWav
