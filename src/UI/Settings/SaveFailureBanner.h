#pragma once

#include <QWidget>

struct AppContext;
class PlainTextLabel;

// Says that a change of the settings could not be written (with the system's reason), so the
// user knows it will be lost at the next start; gone again once a later change is saved.
class SaveFailureBanner final : public QWidget {
    Q_OBJECT
public:
    explicit SaveFailureBanner(AppContext& context, QWidget* parent = nullptr);

private:
    void report(const QString& cause);
    void relabel();

    const AppContext& m_context;
    PlainTextLabel* m_text;
    QString m_cause;
};
