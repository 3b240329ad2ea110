#pragma once

#include <QLocale>
#include <QObject>
#include <QTranslator>

class AppSettings;

// Qt's own texts (the file chooser, message box buttons, the context menus of fields and
// text) in the interface language: Qt's catalogue for that language, from the system's Qt
// translations, is installed now and again on every change of the language, and the
// default locale follows, so dates and numbers read the same way. Without a catalogue for
// the language Qt stays in English. Both are given back when it goes.
class QtTranslations final : public QObject {
    Q_OBJECT
public:
    explicit QtTranslations(const AppSettings& settings, QObject* parent = nullptr);
    ~QtTranslations() override;

    // Whether a catalogue is installed now.
    bool isLoaded() const { return !m_translator.isEmpty(); }

private:
    void follow();

    const AppSettings& m_settings;
    const QLocale m_localeBefore;
    QTranslator m_translator;
};
