// The skin pictures are a contract with the painting code: exact sizes, faces at
// fixed offsets, stretchable middles, and faces that carry the background they
// are copied onto (the copy is opaque, so a mismatch shows as a seam).

#include "resources/skin_resources.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QtGlobal>

#include <cstdlib>
#include <map>
#include <utility>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "resources_test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    }
};
[[maybe_unused]] auto* const guiEnvironment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

const std::map<int, std::pair<int, int>> kSlotSizes = {
    {0, {80, 108}},  {1, {144, 24}}, {2, {144, 24}},  {3, {1, 43}},    {4, {10, 10}},  {5, {48, 24}},   {6, {96, 24}},
    {7, {400, 37}},  {8, {400, 37}}, {9, {180, 42}},  {10, {2, 28}},   {11, {6, 40}},  {12, {232, 43}}, {13, {50, 25}},
    {14, {100, 25}}, {15, {80, 24}}, {16, {100, 25}}, {17, {100, 25}}, {18, {100, 25}}};

QImage slot(int skin, int i) {
    return qarvel::skinPicture(skin * 100 + 101 + i).toImage().convertToFormat(QImage::Format_RGB32);
}

int distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

// Pixels of a piece that stand out from its top-left (background) pixel.
int markedPixels(const QImage& img, int x, int w, int h) {
    const QRgb bg = img.pixel(x, 0);
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int i = x; i < x + w; ++i) n += distance(img.pixel(i, y), bg) > 90;
    return n;
}

bool samePiece(const QImage& a, int ax, const QImage& b, int bx, int w, int h) {
    return a.copy(ax, 0, w, h) == b.copy(bx, 0, w, h);
}

class ResourcesSkin : public ::testing::TestWithParam<int> {};

TEST_P(ResourcesSkin, EverySlotExistsWithItsSize) {
    for (const auto& [i, size] : kSlotSizes) {
        const QPixmap pm = qarvel::skinPicture(GetParam() * 100 + 101 + i);
        ASSERT_FALSE(pm.isNull()) << "slot " << i;
        EXPECT_EQ(pm.size(), QSize(size.first, size.second)) << "slot " << i;
    }
}

TEST_P(ResourcesSkin, EveryDocumentedFaceShowsASymbolAndHoverDiffers) {
    const int s = GetParam();
    struct Face {
        int slot, x, w, h, hoverSlot, hoverX;
    };
    const Face faces[] = {{1, 0, 24, 24, 2, 0},       {1, 48, 24, 24, 2, 48},   {1, 72, 24, 24, 2, 72},
                          {1, 96, 24, 24, 2, 96},     {1, 120, 24, 24, 2, 120}, {5, 0, 24, 24, 5, 24},
                          {6, 0, 24, 24, 6, 24},      {6, 48, 24, 24, 6, 72},   {12, 0, 58, 43, 12, 58},
                          {12, 116, 58, 43, 12, 174}, {13, 0, 25, 25, 13, 25},  {14, 0, 25, 25, 14, 25},
                          {14, 50, 25, 25, 14, 75},   {16, 25, 25, 25, 17, 25}, {16, 50, 25, 25, 17, 50},
                          {16, 75, 25, 25, 17, 75},   {18, 0, 25, 25, 18, 25},  {18, 50, 25, 25, 18, 75}};
    for (const Face& f : faces) {
        const QImage normal = slot(s, f.slot), hover = slot(s, f.hoverSlot);
        EXPECT_GE(markedPixels(normal, f.x, f.w, f.h), 12) << "slot " << f.slot << " x " << f.x;
        EXPECT_GE(markedPixels(hover, f.hoverX, f.w, f.h), 12) << "slot " << f.hoverSlot << " x " << f.hoverX;
        EXPECT_FALSE(samePiece(normal, f.x, hover, f.hoverX, f.w, f.h)) << "slot " << f.slot << " x " << f.x;
    }
    // state pairs must be told apart: play/pause, sound/muted, always on top off/on
    EXPECT_FALSE(samePiece(slot(s, 12), 0, slot(s, 12), 116, 58, 43));
    EXPECT_FALSE(samePiece(slot(s, 14), 0, slot(s, 14), 50, 25, 25));
    EXPECT_FALSE(samePiece(slot(s, 6), 0, slot(s, 6), 48, 24, 24));
}

TEST_P(ResourcesSkin, TabFacesCarryLabelsAndSelectionShows) {
    const int s = GetParam();
    const QImage selected = slot(s, 7), normal = slot(s, 8), side = slot(s, 9);
    for (int x = 0; x < 400; x += 100) {
        EXPECT_GE(markedPixels(normal, x, 100, 37), 40) << "main tab at " << x;
        EXPECT_FALSE(samePiece(selected, x, normal, x, 100, 37)) << "main tab at " << x;
    }
    for (int x = 0; x < 180; x += 60) {
        EXPECT_GE(markedPixels(side.copy(0, 21, 180, 21), x, 60, 21), 40) << "side tab at " << x;
        EXPECT_NE(side.copy(x, 0, 60, 21), side.copy(x, 21, 60, 21)) << "side tab at " << x;
    }
    // the four main tabs and the three side tabs are all different faces
    for (int a = 0; a < 400; a += 100)
        for (int b = a + 100; b < 400; b += 100) EXPECT_FALSE(samePiece(normal, a, normal, b, 100, 37));
}

QImage sharpTwin(const QString& name) {
    QString twin = name;
    twin.insert(twin.lastIndexOf('.'), QStringLiteral("@2x"));
    return QImage(twin).convertToFormat(QImage::Format_ARGB32);
}

// The painter stretches the middle pieces: any variation along the stretch
// direction would be smeared across the window. The same holds for the frame
// drawn at twice the size, r device pixels to a logical one.
TEST_P(ResourcesSkin, FrameStretchesCleanly) {
    const QString name = QStringLiteral(":/skin/%1.png").arg(GetParam() * 100 + 101);
    for (const auto& [f, r] : {std::pair{slot(GetParam(), 0), 1}, std::pair{sharpTwin(name), 2}}) {
        ASSERT_EQ(f.size(), QSize(80, 108) * r);
        for (int y = 0; y < 55 * r; ++y)
            for (int x = 40 * r; x < 50 * r; ++x)
                ASSERT_EQ(f.pixel(x, y), f.pixel(40 * r, y)) << r << " top edge " << x;
        for (int y = 63 * r; y < 108 * r; ++y)
            for (int x = 35 * r; x < 45 * r; ++x)
                ASSERT_EQ(f.pixel(x, y), f.pixel(35 * r, y)) << r << " bottom edge " << x << "," << y;
        for (int x = 0; x < 80 * r; ++x)
            for (int y = 55 * r; y < 63 * r; ++y) ASSERT_EQ(f.pixel(x, y), f.pixel(x, 55 * r)) << r << " side " << x;
        // compact mode and the settings dialog stretch rows 50-82 of the outer columns
        for (int x : {0, 1, 78, 79})
            for (int y = 50 * r; y < 83 * r; ++y)
                ASSERT_EQ(f.pixel(x * r, y), f.pixel(x * r, 50 * r)) << r << " compact side " << x << "," << y;
    }
}

// Every window picture has a twin drawn at twice the size for high-density
// screens: the same drawing, with detail finer than a logical pixel.
TEST_P(ResourcesSkin, EveryPictureHasASharpTwin) {
    const int s = GetParam();
    QStringList names = {QStringLiteral(":/skin/a%1.png").arg(s + 1),
                         QStringLiteral(":/skin/jia_wait%1.png").arg(s),
                         QStringLiteral(":/skin/w3_error%1.png").arg(s),
                         QStringLiteral(":/adp.png"),
                         QStringLiteral(":/close_small.png"),
                         QStringLiteral(":/close_small_hover.png")};
    for (int i = 0; i < 19; ++i) names << QStringLiteral(":/skin/%1.png").arg(s * 100 + 101 + i);
    for (const QString& name : names) {
        const QImage one = QImage(name).convertToFormat(QImage::Format_ARGB32), two = sharpTwin(name);
        ASSERT_EQ(two.size(), one.size() * 2) << name.toStdString();
        // Shrunk to 1x, the twin is the 1x picture but for anti-aliasing and
        // the hinting of small text (the side tabs' 12-pixel labels differ most).
        const QImage shrunk = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        long difference = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x) difference += distance(one.pixel(x, y), shrunk.pixel(x, y));
        EXPECT_LT(difference / (one.width() * one.height()), 40) << name.toStdString();
        // Not the 1x picture enlarged: some 2 x 2 block is not flat.
        bool finer = false;
        for (int y = 0; y + 1 < two.height() && !finer; y += 2)
            for (int x = 0; x + 1 < two.width() && !finer; x += 2)
                finer = two.pixel(x, y) != two.pixel(x + 1, y) || two.pixel(x, y) != two.pixel(x, y + 1);
        EXPECT_TRUE(finer || one.width() <= 2) << name.toStdString();
    }
}

// Faces are copied opaquely onto the title band (buttons at top 4, tabs at
// top 0) and the control bar (play at top 0, others at top 11): their edges
// must be exactly that background.
TEST_P(ResourcesSkin, FacesMatchTheBackgroundTheySitOn) {
    const int s = GetParam();
    const QImage frame = slot(s, 0), bar = slot(s, 3);
    for (int x = 0; x < 144; x += 24)
        for (int y = 0; y < 24; ++y)
            EXPECT_EQ(slot(s, 1).pixel(x, y), frame.pixel(45, 4 + y)) << "title button " << x << " row " << y;
    for (int x = 0; x < 400; x += 100)
        for (int y = 0; y < 37; ++y)
            EXPECT_EQ(slot(s, 8).pixel(x, y), frame.pixel(45, y)) << "main tab " << x << " row " << y;
    for (int y = 0; y < 43; ++y) EXPECT_EQ(slot(s, 12).pixel(0, y), bar.pixel(0, y)) << "play row " << y;
    for (int i : {13, 14, 16, 17, 18})
        for (int y = 0; y < 25; ++y)
            EXPECT_EQ(slot(s, i).pixel(0, y), bar.pixel(0, 11 + y)) << "slot " << i << " row " << y;
    // volume track at top 11 (away from its groove), knob 7 below the track's top
    for (int y = 0; y < 24; ++y) {
        if (y >= 9 && y <= 15) continue;
        EXPECT_EQ(slot(s, 15).pixel(0, y), bar.pixel(0, 11 + y)) << "volume track row " << y;
    }
    EXPECT_EQ(slot(s, 4).pixel(0, 0), bar.pixel(0, 18));
}

INSTANTIATE_TEST_SUITE_P(BothSkins, ResourcesSkin, ::testing::Values(0, 1));

TEST(ResourcesLookup, NumbersOutsideTheSkinsGiveNullPictures) {
    for (int n : {0, -101, 100, 120, 200, 220, 301, 1101, 319}) EXPECT_TRUE(qarvel::skinPicture(n).isNull()) << n;
}

TEST(ResourcesIcons, LogosIconsAndMarkerLoad) {
    const QImage a1 = qarvel::skinLogo(0).toImage(), a2 = qarvel::skinLogo(1).toImage();
    EXPECT_EQ(a1.size(), QSize(26, 26));
    EXPECT_EQ(a2.size(), QSize(26, 26));
    EXPECT_NE(a1, a2);
    EXPECT_EQ(qarvel::skinLogo(7).toImage(), a2);  // any skin but 0 takes the second logo

    const QIcon program = qarvel::programIcon();
    ASSERT_FALSE(program.isNull());
    EXPECT_EQ(program.pixmap(256).size(), QSize(256, 256));
    EXPECT_FALSE(qarvel::trayIcon().pixmap(32).isNull());

    const QImage marker = qarvel::smallMarker().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(marker.size(), QSize(11, 11));
    EXPECT_EQ(qAlpha(marker.pixel(0, 0)), 0);  // corners let the page show through
    EXPECT_EQ(qAlpha(marker.pixel(5, 5)), 255);
    EXPECT_GT(qRed(marker.pixel(5, 2)), 150);  // red disc
    EXPECT_TRUE(qarvel::smallMarkerFileData().startsWith("GIF89a"));
}

// Pictures that lie on a panel or a page rather than being copied opaquely.
QImage argb(const QPixmap& pm) { return pm.toImage().convertToFormat(QImage::Format_ARGB32); }

int luminance(QRgb c) { return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000; }

// Opaque pixels in a band of rows, with their mean luminance and colour balance.
struct Ink {
    int count = 0;
    int meanLuminance = 0;
    long red = 0, blue = 0;
};

Ink inkIn(const QImage& img, int top, int bottom) {
    Ink ink;
    long lum = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qAlpha(c) < 200) continue;
            ++ink.count;
            lum += luminance(c);
            ink.red += qRed(c);
            ink.blue += qBlue(c);
        }
    ink.meanLuminance = ink.count ? int(lum / ink.count) : 0;
    return ink;
}

bool columnsClear(const QImage& img, int from, int to) {
    for (int x = from; x < to; ++x)
        for (int y = 0; y < img.height(); ++y)
            if (qAlpha(img.pixel(x, y)) != 0) return false;
    return true;
}

class ResourcesPanel : public ::testing::TestWithParam<int> {};

TEST_P(ResourcesPanel, CataloguePicturesShareOneSizeAndLetThePanelShow) {
    const int s = GetParam();
    const QImage wait = argb(qarvel::waitPicture(s)), error = argb(qarvel::errorPicture(s));
    ASSERT_EQ(wait.size(), QSize(200, 120));
    ASSERT_EQ(error.size(), wait.size());  // swapping them must not move `catalogueRetryPicture`
    EXPECT_NE(wait, error);
    for (const QImage& img : {wait, error}) {
        for (QPoint corner : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 119), QPoint(199, 119)})
            EXPECT_EQ(qAlpha(img.pixel(corner)), 0);
        // a text wider than the picture would be cut at its sides
        EXPECT_TRUE(columnsClear(img, 0, 4));
        EXPECT_TRUE(columnsClear(img, 196, 200));
    }
}

TEST_P(ResourcesPanel, EmblemsTellLoadingFromFailure) {
    const int s = GetParam();
    const Ink loading = inkIn(argb(qarvel::waitPicture(s)), 10, 70);
    const Ink failed = inkIn(argb(qarvel::errorPicture(s)), 10, 70);
    EXPECT_GT(loading.count, 150);
    EXPECT_GT(failed.count, 800);                  // a filled disc
    EXPECT_GT(loading.blue * 4, loading.red * 5);  // the calm blue ring
    EXPECT_GT(failed.red, failed.blue * 3 / 2);    // the warm retry disc
}

// Skin 0's panel is dark, skin 1's light: a swapped pair would leave the text unreadable.
TEST_P(ResourcesPanel, TextReadsOnItsSkinsPanel) {
    const int s = GetParam();
    for (const QImage& img : {argb(qarvel::waitPicture(s)), argb(qarvel::errorPicture(s))}) {
        const Ink text = inkIn(img, 84, 110);
        EXPECT_GT(text.count, 100);
        if (s == 0) EXPECT_GT(text.meanLuminance, 150);
        else EXPECT_LT(text.meanLuminance, 110);
    }
}

INSTANTIATE_TEST_SUITE_P(BothSkins, ResourcesPanel, ::testing::Values(0, 1));

TEST(ResourcesPanelLookup, OtherSkinIndexesTakeTheLightPanelPictures) {
    for (int s : {2, 7, -1}) {
        EXPECT_EQ(argb(qarvel::waitPicture(s)), argb(qarvel::waitPicture(1))) << s;
        EXPECT_EQ(argb(qarvel::errorPicture(s)), argb(qarvel::errorPicture(1))) << s;
    }
    EXPECT_NE(argb(qarvel::waitPicture(0)), argb(qarvel::waitPicture(1)));
}

TEST(ResourcesPlayerArea, IdlePictureIsADarkCardWithTheName) {
    const QImage idlePicture = argb(qarvel::idlePlayerPicture());
    ASSERT_EQ(idlePicture.size(), QSize(300, 150));
    EXPECT_EQ(qAlpha(idlePicture.pixel(0, 0)), 0);  // rounded corners
    for (QPoint p : {QPoint(6, 75), QPoint(150, 145), QPoint(294, 20)}) {
        EXPECT_EQ(qAlpha(idlePicture.pixel(p)), 255) << p.x() << "," << p.y();
        EXPECT_LT(luminance(idlePicture.pixel(p)), 50) << p.x() << "," << p.y();
    }
    int bright = 0;  // the white name under the tile
    for (int y = 95; y < 122; ++y)
        for (int x = 0; x < 300; ++x) bright += luminance(idlePicture.pixel(x, y)) > 200;
    EXPECT_GT(bright, 300);
}

TEST(ResourcesPlayerArea, CloseButtonHasAPlateAndAHoverLook) {
    const QImage normal = argb(qarvel::smallClosePicture(false));
    const QImage hovered = argb(qarvel::smallClosePicture(true));
    ASSERT_EQ(normal.size(), QSize(20, 20));
    ASSERT_EQ(hovered.size(), QSize(20, 20));
    for (const QImage& img : {normal, hovered}) {
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_GT(qAlpha(img.pixel(3, 10)), 100);      // the plate under the cross
        EXPECT_GT(luminance(img.pixel(10, 10)), 200);  // the cross's centre
    }
    EXPECT_LT(luminance(normal.pixel(3, 10)), 60);
    EXPECT_GT(qRed(hovered.pixel(3, 10)), 180);
    EXPECT_LT(qGreen(hovered.pixel(3, 10)), 100);
}

// The pictures are generated; a stale commit (script changed, pictures not
// regenerated) would ship artwork nobody can reproduce.
TEST(ResourcesGenerator, CommittedPicturesMatchTheScript) {
    QProcess gen;
    gen.start(QStringLiteral(QARVEL_SOURCE_ROOT "/scripts/make-skins"), {QStringLiteral("--check")});
    ASSERT_TRUE(gen.waitForFinished(60000)) << "the generator did not run";
    EXPECT_EQ(gen.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(gen.exitCode(), 0) << gen.readAllStandardOutput().toStdString()
                                 << gen.readAllStandardError().toStdString();
}

}  // namespace
