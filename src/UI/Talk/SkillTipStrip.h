#pragma once

#include "Support/Scheduler.h"
#include "UI/Talk/CardFrame.h"

struct AppContext;
class SkillRegistry;
class QLabel;

// A hint of what can be said: one enabled skill's example, the next one every 8 seconds while
// the strip shows. A strip shown anew by the talk tab starts again from the first skill.
class SkillTipStrip final : public CardFrame {
    Q_OBJECT
public:
    SkillTipStrip(AppContext& context, const SkillRegistry& skills, QWidget* parent = nullptr);

    // Back to the first skill.
    void restart();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();
    void rotate();

    AppContext& m_context;
    const SkillRegistry& m_skills;
    QLabel* m_symbol;
    QLabel* m_text;
    int m_rotation = 0;
    SingleShot m_next;
};
