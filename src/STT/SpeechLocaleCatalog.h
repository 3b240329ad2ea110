#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// The languages the user can choose for speech recognition: every locale the recognizer can
// decode, the frequently used ones pinned first in a fixed order, the rest sorted by name in
// the user's collation.
class SpeechLocaleCatalog {
public:
    struct Entry {
        QString id;  // hyphenated ("en-US", "zh-Hant"): what the settings store
        QString displayName;  // "한국어 (대한민국) (Korean (South Korea))"
        bool operator==(const Entry&) const = default;
    };
    static constexpr std::array<const char*, 6> kPinnedIDs{"ko-KR", "en-US", "ja-JP", "zh-CN", "zh-Hant", "zh-HK"};

    // `supported` in the recognizer's order; "_" separators are read as "-".
    explicit SpeechLocaleCatalog(const QStringList& supported);

    const QList<Entry>& entries() const { return m_entries; }

private:
    static Entry makeEntry(const QString& id);

    QList<Entry> m_entries;
};
