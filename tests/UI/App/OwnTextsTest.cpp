// Every text the window writes itself comes from the tables in the user's language: walking
// the talk, agent and settings tabs in Korean finds no English word but names, addresses, key
// captions and code, and walking them in English finds no Hangul but the wake phrase.
#include "UI/App/MainContentView.h"
#include "UI/App/MainWindow.h"

#include "Common/QtPrinters.h"
#include "STT/SystemStreamingRecognizer.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

// Whose texts are not the window's own: what people and the engine said, data and names.
bool isOutsideText(const QWidget& widget)
{
    static const QStringList kOutside{"bubbleText",          "transcriptText",        "skillSummary",
                                      "assistantName",       "providerPicker",        "localePicker",
                                      "uiLanguagePicker",    "translateSourcePicker", "translateTargetPicker",
                                      "diceBearStylePicker", "versionLabel",          "speakerLabel"};
    for (const QWidget* at = &widget; at; at = at->parentWidget())
        if (kOutside.contains(at->objectName()) || at->objectName().startsWith(QLatin1String("personaPicker-")))
            return true;
    return false;
}

// Every text a person can see or hear of the widget.
QStringList textsOf(QWidget& widget)
{
    QStringList texts{widget.toolTip(), widget.accessibleName(), widget.accessibleDescription()};
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        QTextDocument document;
        document.setHtml(label->text());
        texts << (label->textFormat() == Qt::RichText ? document.toPlainText() : label->text());
    }
    if (auto* pill = qobject_cast<PillButton*>(&widget))
        texts << pill->look().caption << pill->look().help;
    else if (auto* button = qobject_cast<QAbstractButton*>(&widget))
        texts << button->text();
    if (auto* field = qobject_cast<QLineEdit*>(&widget))
        texts << field->placeholderText();
    if (auto* box = qobject_cast<QPlainTextEdit*>(&widget))
        texts << box->placeholderText();
    if (auto* picker = qobject_cast<QComboBox*>(&widget))
        for (int i = 0; i < picker->count(); ++i)
            texts << picker->itemText(i) << picker->itemData(i, Qt::ToolTipRole).toString();
    if (auto* tabs = qobject_cast<QTabWidget*>(&widget))
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    texts.removeAll(QString());
    return texts;
}

// Words that stay as they are in every language: names of things and services, acronyms,
// key captions and the commands people type.
const QSet<QString>& names()
{
    static const QSet<QString> kNames{
        "Parlivox",    "Obsidian", "OpenAI", "NVIDIA",   "LM",         "Studio", "Developer", "Start",    "Server",
        "ollama",      "serve",    "pull",   "qwen2.5",  "DiceBear",   "GitHub", "Nemotron",  "Personas", "Korea",
        "CC",          "BY",       "Ostrel", "Labs",     "API",        "LLM",    "CPU",       "UI",       "PNG",
        "HTTPS",       "Ctrl",     "Shift",  "Esc",      "Alt",        "AltGr",  "X11",       "Wayland",  "espeak",
        "ng",          "FFT",      "Hann",   "Markdown", "discussion", "K",      "F",         "V",        "nvidia",
        "Discussions", "STT",      "TTS",    "px"};
    return kNames;
}

// A word is fine when it is a name, or part of an address, a path, a file name or an e-mail.
QStringList foreignWords(const QString& text, AppLanguage language)
{
    QStringList found;
    if (language == AppLanguage::english) {
        static const QRegularExpression kHangul(QStringLiteral("[\\x{AC00}-\\x{D7A3}]+"));
        QString rest = text;
        rest.remove(QStringLiteral("'당근 당근'"));  // the wake phrase is said in Korean
        if (kHangul.match(rest).hasMatch())
            found << text;
        return found;
    }
    static const QRegularExpression kToken(QStringLiteral("\\S+"));
    static const QRegularExpression kWord(QStringLiteral("[A-Za-z][A-Za-z0-9.]*[A-Za-z0-9]|[A-Za-z]"));
    static const QRegularExpression kFile(QStringLiteral("\\.(md|json|obsidian)\\b"));
    static const QRegularExpression kCode(QStringLiteral("\\w:\\w"));  // a model tag such as qwen2.5:7b
    // A language or locale ("ko", "en-US") or a skill's identifier ('memory.add').
    static const QRegularExpression kIdentifier(
        QStringLiteral("^['(]?([a-z]{2}(-[A-Z]{2})?|[a-z]+(\\.[a-z_]+)+)['),.:]*$"));
    for (auto tokens = kToken.globalMatch(text); tokens.hasNext();) {
        const QString token = tokens.next().captured();
        if (token.contains(QLatin1String("://")) || token.contains(QLatin1Char('@')) ||
            token.contains(QLatin1Char('/')) || token.contains(QLatin1Char('~')) ||
            token.contains(QLatin1String(".com")) || token.contains(kFile) || token.contains(kCode) ||
            kIdentifier.match(token).hasMatch())
            continue;
        for (auto words = kWord.globalMatch(token); words.hasNext();) {
            const QString word = words.next().captured();
            if (!names().contains(word))
                found << word + QStringLiteral(" in «") + text + QStringLiteral("»");
        }
    }
    return found;
}

TEST(OwnTexts, EachTabSpeaksOnlyTheUsersLanguage)
{
    for (const AppLanguage language : {AppLanguage::korean, AppLanguage::english}) {
        for (const AppTab tab : {AppTab::talk, AppTab::agent, AppTab::settings}) {
            SCOPED_TRACE(rawValue(language).toStdString() + " tab " + std::to_string(int(tab)));
            UiTestContext ui;
            ui.settings.setUiLanguage(language);
            // A busy talk tab: a reply, the consent card, and the recognizer's message as the core writes it.
            ui.engine.setEnabled(true);
            ui.engine.setPhase(ConversationPhase::listening);
            ui.engine.setLastTurns(TalkScenes::turns(2));
            ui.engine.setPendingSkill(PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("…"), {}));
            ui.engine.setErrorMessage(SystemStreamingRecognizer::SystemSttError{
                SystemStreamingRecognizer::SystemSttError::Kind::unavailable,
                "ko-KR",
                {"en-US"},
                {}}.description());
            MainWindow window(ui.context);
            window.content().selectTab(tab);
            window.resize(MainWindow::kMinimumSize);
            window.show();
            QWidget& page = window.content().currentPage();
            QStringList foreign;
            for (QWidget* widget : page.findChildren<QWidget*>())
                if (!isOutsideText(*widget))
                    for (const QString& text : textsOf(*widget))
                        foreign << foreignWords(text, language);
            foreign.removeDuplicates();
            EXPECT_EQ(foreign, QStringList());
        }
    }
}

}  // namespace
