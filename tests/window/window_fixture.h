#pragma once
// A main window made of plain widgets: the real control tree and window
// classes, fake panes, and test strips whose every pixel tells which slot and
// which x, y it came from.
#include "state/main_window_state.h"
#include "window/main_window_controls.h"
#include "window/main_window_layout.h"
#include "window/skin.h"
#include "window/skin_painter.h"
#include "window/window_buttons.h"
#include "window/window_chrome.h"
#include "window/window_settings.h"

#include <QApplication>
#include <QImage>
#include <QMap>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace qarvel::window::testing {

inline QApplication* app() {
    static int argc = 1;
    static char name[] = "window_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    return instance ? instance : qobject_cast<QApplication*>(QApplication::instance());
}

// Sizes of the 19 slots.
inline QSize slotSize(int i) {
    static const QSize sizes[19] = {{80, 108}, {144, 24}, {144, 24}, {1, 43},   {10, 10}, {48, 24},  {96, 24},
                                    {400, 37}, {400, 37}, {180, 42}, {2, 28},   {6, 40},  {232, 43}, {50, 25},
                                    {100, 25}, {80, 24},  {100, 25}, {100, 25}, {100, 25}};
    return sizes[i];
}

// Red = skin × 100 + slot + 1 (so never 0), green = x, blue = y.
inline QPixmap codedStrip(int resource) {
    const int skin = resource / 100 - 1;
    const int slot = resource % 100 - 1;
    QImage img(slotSize(slot), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb(skin * 100 + slot + 1, x, y));
    return QPixmap::fromImage(img);
}

inline QRgb codeOf(int skin, int slot, int x, int y) { return qRgb(skin * 100 + slot + 1, x, y); }
inline QRgb pixelAt(const QPixmap& pm, int x, int y) { return pm.toImage().pixel(x, y) | 0xff000000u; }

class MemorySettings final : public WindowSettings {
public:
    QString read(const QString& section, const QString& key, const QString& defaultText) override {
        return values.value(section + "/" + key, defaultText);
    }
    bool write(const QString& section, const QString& key, const QString& value) override {
        values[section + "/" + key] = value;
        ++writes;
        return true;
    }
    QMap<QString, QString> values;
    int writes = 0;
};

struct FakeWindow {
    explicit FakeWindow(Skin::PictureLoader pictures = codedStrip) {
        app();
        window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        c = buildMainWindowControls(window.get(), [](int, QWidget* parent) { return new QWidget(parent); });
        skin = std::make_unique<Skin>(std::move(pictures), [](int s) {
            QPixmap pm(26, 26);
            pm.fill(s == 0 ? Qt::darkGray : Qt::blue);
            return pm;
        });
        layout = std::make_unique<MainWindowLayout>(c, state, *skin);
        chrome = std::make_unique<WindowChrome>(c, state, *skin, *layout, settings);
        buttons = std::make_unique<WindowButtons>(c, state, *skin, *layout, *chrome);
        painter = std::make_unique<SkinPainter>(c, state, *skin, *layout, settings);
    }
    // Start-up's part: size, skin, show.
    void open(int w = 1200, int h = 700, int s = 0) {
        window->resize(w, h);
        painter->applySkin(s);
        window->show();
        QApplication::processEvents();
    }

    MainWindowState state;
    MemorySettings settings;
    std::unique_ptr<QWidget> window;
    MainWindowControls c;
    std::unique_ptr<Skin> skin;
    std::unique_ptr<MainWindowLayout> layout;
    std::unique_ptr<WindowChrome> chrome;
    std::unique_ptr<WindowButtons> buttons;
    std::unique_ptr<SkinPainter> painter;
};

}  // namespace qarvel::window::testing
