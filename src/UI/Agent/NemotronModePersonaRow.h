#pragma once

#include "Persistence/AppMode.h"

#include <QWidget>

struct AppContext;

// The catalog persona the assistant takes on in one mode: the mode's name and a picker of
// the personas made for it, then the others. It shows the stored choice, or the mode's
// default when none is stored; a stored persona the catalog no longer has matches nothing and
// stays stored. Choosing writes this mode's choice only.
class NemotronModePersonaRow final : public QWidget {
    Q_OBJECT
public:
    NemotronModePersonaRow(AppContext& context, AppMode mode, QWidget* parent = nullptr);
};
