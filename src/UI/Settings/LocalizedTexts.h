#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class AppSettings;
class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

// The texts of a view looked up in the interface language: each is set now and again
// whenever the language changes, so the whole window relabels at once. Owned by its view.
class LocalizedTexts final : public QObject {
    Q_OBJECT
public:
    LocalizedTexts(const AppSettings& settings, QObject* parent);

    QString t(const QString& key) const;

    // Calls `apply` with the key's text now and after every change of language.
    void add(const QString& key, std::function<void(const QString&)> apply);
    // Runs `refresh` now and after every change of language (for texts built from several keys).
    void follow(std::function<void()> refresh);

    // The label's text; also the accessible name of `named`, the control it labels.
    void label(QLabel& label, const QString& key, QWidget* named = nullptr);
    void button(QAbstractButton& button, const QString& key);
    // The field's placeholder; also its accessible name where no label names it.
    void placeholder(QLineEdit& edit, const QString& key, bool naming);
    void toolTip(QWidget& widget, const QString& key);

private:
    void relabel();

    const AppSettings& m_settings;
    std::vector<std::function<void()>> m_refreshes;
};
