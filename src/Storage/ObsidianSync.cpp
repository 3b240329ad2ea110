#include "Storage/ObsidianSync.h"

#include "Support/FileIO.h"
#include "Support/Text.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcObsidian, "app.parlivox.obsidian")

namespace {
const QString kEmDash = QStringLiteral(" \u2014 ");

QString folderName(ObsidianSync::Channel channel)
{
    switch (channel) {
    case ObsidianSync::Channel::meeting:
        return QStringLiteral("Meetings");
    case ObsidianSync::Channel::conversation:
        return QStringLiteral("Conversations");
    case ObsidianSync::Channel::memory:
        return QStringLiteral("Memories");
    case ObsidianSync::Channel::translate:
        return QStringLiteral("Translations");
    }
    return {};
}

QString isoTime(const QDateTime& date)
{
    return date.toUTC().toString(Qt::ISODate);
}

// The channel's folder inside the vault. The subfolder only ever adds relative components:
// an absolute one must not replace the vault root, and ".." must not climb out of it.
std::optional<QString> channelFolder(const VaultTarget& target, ObsidianSync::Channel channel)
{
    QStringList parts{target.root};
    for (const QString& component : target.subfolder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (component == QLatin1String("..") || component.contains(QChar(0))) {
            qCCritical(lcObsidian, "refused subfolder '%s': it must stay inside the vault",
                       qUtf8Printable(target.subfolder));
            return std::nullopt;
        }
        if (component != QLatin1String("."))
            parts << component;
    }
    parts << folderName(channel);
    return QDir::cleanPath(parts.join(QLatin1Char('/')));
}

bool makeFolder(const QString& folder, const QString& what)
{
    QString error;
    if (FileIO::ensureDirectory(folder, false, &error))
        return true;
    qCCritical(lcObsidian, "write failed (%s): %s", qUtf8Printable(what), qUtf8Printable(error));
    return false;
}

QString capitalized(const QString& word)
{
    return word.left(1).toUpper() + word.mid(1);
}

// A title becomes part of a file name: it must not name another folder.
QString fileNameSafe(QString title)
{
    title.replace(QLatin1Char('/'), QLatin1Char('-'));
    title.replace(QChar(0), QLatin1Char('-'));
    return title;
}
}  // namespace

ObsidianSync::ObsidianSync() : m_writer(QStringLiteral("app.parlivox.obsidian"))
{
}

void ObsidianSync::append(Channel channel, const VaultTarget& target, const QString& body, const QDateTime& date,
                          const std::optional<QString>& localeID)
{
    m_writer.post([channel, target, body, date, localeID] {
        const QString name = rawValue(channel);
        if (channel == Channel::meeting) {
            qCCritical(lcObsidian, "ObsidianSync.append called on .meeting channel — use writeMeeting instead");
            return;
        }
        const auto folder = channelFolder(target, channel);
        if (!folder || !makeFolder(*folder, name))
            return;
        const QString day = date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd"));
        const QString path = *folder + QLatin1Char('/') + day + QStringLiteral(".md");

        QString text;
        if (!QFileInfo::exists(path)) {
            text = QStringLiteral("---\ntitle: Parlivox ") + capitalized(name) + kEmDash + day +
                   QStringLiteral("\ntype: ") + name + QStringLiteral("\nlocale: ") + localeID.value_or(QString()) +
                   QStringLiteral("\n---\n\n");
        }
        text += QStringLiteral("## ") + isoTime(date) + QStringLiteral("\n\n") + body + QStringLiteral("\n\n");

        QString error;
        if (!FileIO::append(path, text.toUtf8(), &error)) {
            qCCritical(lcObsidian, "write failed (%s): %s", qUtf8Printable(name), qUtf8Printable(error));
            return;
        }
        qCInfo(lcObsidian, "appended %s → %s", qUtf8Printable(name), qUtf8Printable(path));
    });
}

void ObsidianSync::writeMeeting(const VaultTarget& target, const QString& body, const QDateTime& date,
                                const std::optional<QString>& title)
{
    m_writer.post([target, body, date, title] {
        const auto folder = channelFolder(target, Channel::meeting);
        if (!folder || !makeFolder(*folder, QStringLiteral("meeting")))
            return;
        const QString stamp = date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
        const QString heading = title ? Text::trimmed(*title) : QString();
        const QString fileName = heading.isEmpty() ? stamp : stamp + kEmDash + fileNameSafe(heading);
        const QString path = *folder + QLatin1Char('/') + fileName + QStringLiteral(".md");
        const QString content =
            QStringLiteral("---\ntitle: Meeting") + kEmDash + stamp + QStringLiteral("\ntype: meeting\ncreated: ") +
            isoTime(date) + QStringLiteral("\n---\n\n# ") +
            (heading.isEmpty() ? QStringLiteral("Meeting") + kEmDash + stamp : heading) + QStringLiteral("\n\n") + body;

        QString error;
        if (!FileIO::writeAtomically(path, content.toUtf8(), &error)) {
            qCCritical(lcObsidian, "write failed (meeting): %s", qUtf8Printable(error));
            return;
        }
        qCInfo(lcObsidian, "wrote meeting → %s", qUtf8Printable(path));
    });
}

std::optional<QString> ObsidianSync::validate(const QString& vaultPath)
{
    if (Text::trimmed(vaultPath).isEmpty())
        return QStringLiteral("Vault 경로를 선택해주세요.");
    const std::optional<QString> root = VaultTarget::rootOf(vaultPath);
    if (!root)
        return QStringLiteral("Vault 경로는 / 나 ~ 로 시작하는 전체 경로여야 합니다.");
    const QString& path = *root;
    if (!QFileInfo(path).isDir())
        return QStringLiteral("Vault 경로가 존재하지 않거나 폴더가 아닙니다.");
    if (!QFileInfo::exists(path + QStringLiteral("/.obsidian")))
        return QStringLiteral(
            "선택한 폴더에 .obsidian 이 없습니다. Obsidian vault 루트가 맞는지 확인해주세요. (계속 진행 가능)");
    return std::nullopt;
}
