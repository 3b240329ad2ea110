#include "UI/Kit/Icons.h"

#include "UI/Kit/SymbolIconEngine.h"

#include <QStandardPaths>

#include <iterator>

namespace Icons {

namespace {
struct Entry {
    const char* symbol;
    const char* themeIcon;  // "" when the theme has nothing that fits
    const char* glyph;  // drawn when the theme icon is missing
};

// clang-format off
constexpr Entry kTable[] = {
    {"ant.fill",                                "",                                      "🐜"},
    {"arrow.clockwise",                         "view-refresh-symbolic",                 "🔄"},
    {"arrow.down.circle",                       "software-update-available-symbolic",    "⬇️"},
    {"arrow.down.circle.fill",                  "folder-download-symbolic",              "⬇️"},
    {"arrow.uturn.backward.circle",             "edit-undo-symbolic",                    "↩️"},
    {"atom",                                    "applications-science-symbolic",         "⚛️"},
    {"brain",                                   "",                                      "🧠"},
    {"bubble.left.and.bubble.right.fill",       "user-available-symbolic",               "💬"},
    {"bubble.left.fill",                        "user-available-symbolic",               "💬"},
    {"cat.fill",                                "",                                      "🐱"},
    {"checkmark",                               "object-select-symbolic",                "✔️"},
    {"checkmark.circle.fill",                   "emblem-ok-symbolic",                    "✅"},
    {"chevron.down",                            "pan-down-symbolic",                     "⌄"},
    {"chevron.down.circle",                     "pan-down-symbolic",                     "🔽"},
    {"chevron.right",                           "pan-end-symbolic",                      "›"},
    {"circle.dashed",                           "content-loading-symbolic",              "⭕"},
    {"clock.arrow.circlepath",                  "document-open-recent-symbolic",         "🕒"},
    {"doc.on.doc",                              "edit-copy-symbolic",                    "📋"},
    {"doc.text",                                "text-x-generic-symbolic",               "📄"},
    {"doc.text.fill",                           "x-office-document-symbolic",            "📄"},
    {"dog.fill",                                "",                                      "🐶"},
    {"envelope.badge",                          "mail-unread-symbolic",                  "✉️"},
    {"exclamationmark.triangle.fill",           "dialog-warning-symbolic",               "⚠️"},
    {"eye.slash.fill",                          "view-conceal-symbolic",                 "🙈"},
    {"flame.fill",                              "",                                      "🔥"},
    {"folder.fill",                             "folder-symbolic",                       "📁"},
    {"gearshape.fill",                          "emblem-system-symbolic",                "⚙️"},
    {"globe",                                   "preferences-desktop-locale-symbolic",   "🌐"},
    {"hare.fill",                               "",                                      "🐰"},
    {"heart.text.square.fill",                  "emote-love-symbolic",                   "💗"},
    {"hourglass",                               "",                                      "⏳"},
    {"info.circle",                             "dialog-information-symbolic",           "ℹ️"},
    {"keyboard",                                "input-keyboard-symbolic",               "⌨️"},
    {"lightbulb.fill",                          "",                                      "💡"},
    {"lightbulb.slash",                         "",                                      "💤"},
    {"lock.shield.fill",                        "security-high-symbolic",                "🔒"},
    {"mic.fill",                                "audio-input-microphone-symbolic",       "🎤"},
    {"moon.zzz.fill",                           "weather-clear-night-symbolic",          "🌙"},
    {"paperplane.fill",                         "document-send-symbolic",                "📨"},
    {"pawprint.fill",                           "",                                      "🐾"},
    {"pencil",                                  "document-edit-symbolic",                "✏️"},
    {"person.crop.circle.badge.minus",          "system-log-out-symbolic",               "👋"},
    {"person.crop.circle.badge.plus",           "contact-new-symbolic",                  "🙋"},
    {"person.crop.circle.fill",                 "avatar-default-symbolic",               "👤"},
    {"person.crop.circle.fill.badge.checkmark", "user-info-symbolic",                    "🧑"},
    {"person.fill",                             "avatar-default-symbolic",               "👤"},
    {"photo.badge.plus",                        "insert-image-symbolic",                 "🖼️"},
    {"photo.fill",                              "image-x-generic-symbolic",              "🖼️"},
    {"questionmark.circle",                     "dialog-question-symbolic",              "❓"},
    {"shield.lefthalf.filled",                  "security-medium-symbolic",              "🛡️"},
    {"speaker.slash.fill",                      "audio-volume-muted-symbolic",           "🔇"},
    {"speaker.wave.2.fill",                     "audio-volume-high-symbolic",            "🔊"},
    {"speedometer",                             "power-profile-performance-symbolic",    "⏱️"},
    {"square.and.arrow.up",                     "send-to-symbolic",                      "📤"},
    {"star.fill",                               "starred-symbolic",                      "⭐"},
    {"teddybear.fill",                          "",                                      "🧸"},
    {"timer",                                   "alarm-symbolic",                        "⏲️"},
    {"video.fill",                              "camera-video-symbolic",                 "📹"},
    {"video.slash.fill",                        "camera-disabled-symbolic",              "📷"},
    {"wand.and.stars",                          "",                                      "✨"},
    {"waveform",                                "microphone-sensitivity-medium-symbolic","〰️"},
    {"waveform.badge.magnifyingglass",          "edit-find-symbolic",                    "🔍"},
    {"waveform.circle.fill",                    "media-record-symbolic",                 "🔴"},
    {"waveform.path.ecg",                       "preferences-system-details-symbolic",   "🩺"},
    {"waveform.slash",                          "microphone-disabled-symbolic",          "🔕"},
    {"xmark",                                   "window-close-symbolic",                 "✖️"},
};
// clang-format on

const Entry* find(const QString& symbolName)
{
    for (const Entry& entry : kTable)
        if (symbolName == QLatin1String(entry.symbol))
            return &entry;
    return nullptr;
}
}  // namespace

QIcon symbol(const QString& symbolName, const QColor& tint)
{
    const Entry* entry = find(symbolName);
    const QString name = entry ? QString::fromLatin1(entry->themeIcon) : QString();
    const QIcon themeIcon = !name.isEmpty() && QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : QIcon();
    return QIcon(new SymbolIconEngine(themeIcon, standInGlyph(symbolName), tint));
}

QString themeIconName(const QString& symbolName)
{
    const Entry* entry = find(symbolName);
    return entry ? QString::fromLatin1(entry->themeIcon) : QString();
}

QStringList symbolNames()
{
    QStringList names;
    names.reserve(int(std::size(kTable)));
    for (const Entry& entry : kTable)
        names << QString::fromLatin1(entry.symbol);
    return names;
}

QString standInGlyph(const QString& symbolName)
{
    const Entry* entry = find(symbolName);
    return entry ? QString::fromUtf8(entry->glyph) : QStringLiteral("•");
}

void useDesktopTheme()
{
    // Platforms without a desktop theme plugin (offscreen) search only the resources.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& folder : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                           QStandardPaths::LocateDirectory))
        if (!paths.contains(folder))
            paths << folder;
    QIcon::setThemeSearchPaths(paths);
    const QString adwaita = QStringLiteral("Adwaita");
    const QString current = QIcon::themeName();
    if (current.isEmpty() || current == QLatin1String("hicolor"))
        QIcon::setThemeName(adwaita);
    QIcon::setFallbackThemeName(adwaita);
}

}  // namespace Icons
