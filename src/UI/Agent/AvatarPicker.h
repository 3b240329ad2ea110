#pragma once

#include <QWidget>

struct AppContext;
class LocalizedTexts;
class PlainTextLabel;
class QPushButton;

// The user's own avatar picture: upload one (a file this system cannot read as a picture is
// refused with the reason), share it on the maker's discussion board, or reset it. The last
// import error and share message show under the buttons until the view goes.
class AvatarPicker final : public QWidget {
    Q_OBJECT
public:
    explicit AvatarPicker(AppContext& context, QWidget* parent = nullptr);

private:
    void openFilePicker();
    void share();
    void reset();
    void showPicture();

    AppContext& m_context;
    LocalizedTexts* m_texts;
    QPushButton* m_share;
    QPushButton* m_reset;
    PlainTextLabel* m_importError;
    PlainTextLabel* m_shareStatus;
};
