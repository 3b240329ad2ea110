#include "UI/App/WindowShortcuts.h"

#include "UI/App/AppContext.h"

#include <QShortcut>
#include <QWidget>

WindowShortcuts::WindowShortcuts(AppContext& context, QWidget& window)
    : QObject(&window), m_actions(context.settings, context.engine, context.commands)
{
    const auto add = [&window, this](QKeyCombination key, auto act) {
        auto* shortcut = new QShortcut(QKeySequence(key), &window);
        connect(shortcut, &QShortcut::activated, this, act);
    };
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter})
        add(Qt::CTRL | enter, [this] { m_actions.pressPrimary(); });
    add(Qt::CTRL | Qt::Key_F, [this] { m_actions.press(TalkButtons::Kind::fire); });
    add(Qt::CTRL | Qt::Key_Period, [this] { m_actions.press(TalkButtons::Kind::stopSpeech); });
    add(Qt::CTRL | Qt::Key_K, [this] { m_actions.press(TalkButtons::Kind::camera); });
}
