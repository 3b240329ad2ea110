// The contact sheet of the face: every style, phase and gender in light and dark, painted
// into one PNG for people to look at. It asserts coarse facts only.
#include "UI/Face/Painting/FacePainter.h"
#include "Persistence/AppLanguage.h"
#include "Persistence/L10n.h"

#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int cell = 150;

// A stand-in for an imported picture: something that could not be mistaken for a drawn face.
QImage picture()
{
    QImage image(300, 200, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(image.rect(), QColor(70, 130, 180));
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPointF(150, 100), 60, 60);
    return image;
}

bool differsFrom(const QImage& image, const QRect& box, QRgb background)
{
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (image.pixel(x, y) != background)
                return true;
    return false;
}

}  // namespace

TEST(FacePainter, PaintsEveryStylePhaseAndGenderInLightAndDark)
{
    constexpr auto styles = allCases<AvatarStyle>();
    constexpr auto phases = allCases<ConversationPhase>();
    constexpr auto genders = allCases<AvatarGender>();
    // Columns: the phases in light, then in dark; rows: each style in each gender.
    QImage sheet(int(phases.size()) * 2 * cell, int(styles.size() * genders.size()) * cell, QImage::Format_RGB32);
    const QImage custom = picture();
    FacePainter painter;
    QPainter p(&sheet);
    QList<std::pair<QRect, QRgb>> cells;
    for (std::size_t row = 0; row < styles.size() * genders.size(); ++row) {
        for (std::size_t column = 0; column < phases.size() * 2; ++column) {
            const bool dark = column >= phases.size();
            FaceAvatarModel::State state;
            state.style = styles[row / genders.size()];
            state.gender = genders[row % genders.size()];
            state.phase = phases[column % phases.size()];
            state.hasPicture = true;
            state.idleCaption = L10n::t(captionKey(state.idleMood), AppLanguage::english);
            state.level = 0.5;
            state.speakingPhase = 0.25;
            state.dark = dark;
            const QRect box(int(column) * cell, int(row) * cell, cell, cell);
            const QColor background = dark ? QColor(30, 30, 32) : QColor(236, 236, 236);
            p.fillRect(box, background);
            painter.paint(p, FaceAvatarModel::frame(state, box), custom);
            cells.append({box, background.rgb()});
        }
    }
    p.end();

    EXPECT_EQ(sheet.size(), QSize(12 * cell, 16 * cell));
    for (const auto& [box, background] : cells)
        EXPECT_TRUE(differsFrom(sheet, box, background)) << box.x() << "," << box.y();
    QTemporaryDir scratch;
    const QString folder =
        qEnvironmentVariableIsSet("PARLIVOX_SCREENS") ? qEnvironmentVariable("PARLIVOX_SCREENS") : scratch.path();
    QDir().mkpath(folder);
    EXPECT_TRUE(sheet.save(folder + QStringLiteral("/face-contact-sheet.png")));
}
