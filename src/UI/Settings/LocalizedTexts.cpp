#include "UI/Settings/LocalizedTexts.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

LocalizedTexts::LocalizedTexts(const AppSettings& settings, QObject* parent) : QObject(parent), m_settings(settings)
{
    connect(&settings, &AppSettings::uiLanguageChanged, this, &LocalizedTexts::relabel);
}

QString LocalizedTexts::t(const QString& key) const
{
    return L10n::t(key, m_settings.uiLanguage());
}

void LocalizedTexts::add(const QString& key, std::function<void(const QString&)> apply)
{
    follow([this, key, apply = std::move(apply)] { apply(t(key)); });
}

void LocalizedTexts::follow(std::function<void()> refresh)
{
    refresh();
    m_refreshes.push_back(std::move(refresh));
}

void LocalizedTexts::label(QLabel& label, const QString& key, QWidget* named)
{
    add(key, [&label, named](const QString& text) {
        label.setText(text);
        if (named)
            named->setAccessibleName(text);
    });
}

void LocalizedTexts::button(QAbstractButton& button, const QString& key)
{
    add(key, [&button](const QString& text) { button.setText(text); });
}

void LocalizedTexts::placeholder(QLineEdit& edit, const QString& key, bool naming)
{
    add(key, [&edit, naming](const QString& text) {
        edit.setPlaceholderText(text);
        if (naming)
            edit.setAccessibleName(text);
    });
}

void LocalizedTexts::toolTip(QWidget& widget, const QString& key)
{
    add(key, [&widget](const QString& text) {
        widget.setToolTip(text);
        widget.setAccessibleName(text);
    });
}

void LocalizedTexts::relabel()
{
    for (const auto& refresh : m_refreshes)
        refresh();
}
