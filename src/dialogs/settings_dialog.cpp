#include "dialogs/settings_dialog.h"

#include "platform/user_dialogs.h"
#include "window/frame_painter.h"
#include "window/skin_painter.h"
#include "window/units.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace qarvel::dialogs {

const std::array<OptionBox, 8> kOptionBoxes = {{
    {5, "quit", "关闭软件最小化到托盘"},
    {6, "qvodk", "关闭软件同时关闭快播(Qvod)"},
    {0, "s_size", "保存软件界面大小"},
    {1, "s_h", "自动缓冲下一集"},
    {2, "s_bo", "自动播放下一集"},
    {3, "s_jd", "记录影片播放进度"},
    {7, "qvodqi", "启动软件不启动快播(Qvod)"},
    {8, "s_pao", "托盘显示气泡提示"},
}};

QString normalisedCacheFolder(const QString& text, const QString& fallback) {
    QString path = QDir::isAbsolutePath(text) ? text : fallback;
    if (!path.endsWith(u'/')) path += u'/';
    return path;
}

namespace {

const QString kSection = QStringLiteral("S_q");
const QString kTitle = QStringLiteral("软件设置");

// The dialog's size, pixels; the frame and the layout follow any other.
constexpr int kWidth = 500;
constexpr int kHeight = 360;
constexpr int kColumnWidth = 130;
constexpr int kButtonStrip = 40;
constexpr int kTabHeight = 35;
constexpr int kTabTops[3] = {61, 0, 31};  // of d_z (0), (1), (2): (1) is the first tab
constexpr int kFaceSize = 24;
constexpr int kCloseFaceX = 120;

// Vertical position (twips) of each option box, by box index.
int optionTopTwips(int index) {
    switch (index) {
    case 5: return 620;
    case 7: return 950;
    case 6: return 1260;
    case 8: return 1570;
    case 0: return 1920;
    case 1: return 2760;
    case 2: return 3120;
    case 3: return 3480;
    default: return 0;
    }
}

const QColor kTabColour(218, 218, 218);
const QColor kSelectedTabColour(250, 175, 65);
const QColor kPageColour(255, 255, 255);
const QColor kPanelColour(240, 240, 240);
const QColor kLinkColour(0, 0, 255);
const QColor kLinkHoverColour(255, 0, 0);

void setBackground(QWidget* w, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

window::Label* label(const QString& text, QWidget* parent, int x, int y) {
    auto* l = new window::Label(text, parent);
    l->move(x, y);
    l->setAutoSize(true);
    return l;
}

}  // namespace

SettingsWindow::SettingsWindow(QWidget* owner, SettingsDialogServices services)
    : QWidget(owner, Qt::Dialog | Qt::FramelessWindowHint), s_(std::move(services)) {
    setObjectName(QStringLiteral("BA3"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    resize(kWidth, kHeight);
    loadSettings();
}

void SettingsWindow::buildControls() {
    titleText = new window::Label(kTitle, this);
    titleText->setObjectName(QStringLiteral("ni_name"));
    titleText->setAutoSize(true);
    // The title lies on the surface that drags the dialog.
    titleText->setAttribute(Qt::WA_TransparentForMouseEvents);
    closeButton = new window::PictureBox(this);
    closeButton->setObjectName(QStringLiteral("guan"));
    closeButton->resize(kFaceSize, kFaceSize);
    connect(closeButton, &window::PictureBox::moved, this,
            [this](int, Qt::MouseButtons, QPoint pos) { closeButtonMouseMove(pos); });
    connect(closeButton, &window::PictureBox::clicked, this, [this] { cancelSettings(); });

    panel = new QWidget(this);
    setBackground(panel, kPanelColour);
    column = new QWidget(panel);
    setBackground(column, kPanelColour);
    pageArea = new QWidget(panel);

    const QString tabs[3] = {QStringLiteral("关于软件"), QStringLiteral("软件设置"), QStringLiteral("缓存设置")};
    for (int i = 0; i < 3; ++i) {
        tabCaptions[i] = new window::Label(tabs[i], column);
        tabCaptions[i]->setObjectName(QStringLiteral("d_z"));
        tabCaptions[i]->setAlignment(Qt::AlignCenter);
        tabCaptions[i]->setAutoFillBackground(true);
        tabCaptions[i]->setCursor(Qt::PointingHandCursor);
        connect(tabCaptions[i], &window::Label::clicked, this, [this, i] { showSettingsTab(i); });
        tabFaces[i] = new window::PictureBox(pageArea, i);
        tabFaces[i]->setObjectName(QStringLiteral("pz"));
        tabFaces[i]->setFill(kPageColour);
        connect(tabFaces[i], &window::PictureBox::moved, this, [this] { tabFaceMouseMove(); });
    }

    // Page (1): the options.
    QWidget* options = tabFaces[1];
    captions[2] = label(QStringLiteral("常规设置"), options, 20, window::pixelsFromTwips(240));
    captions[1] = label(QStringLiteral("播放设置"), options, 20, window::pixelsFromTwips(2400));
    for (window::Label* heading : {captions[2], captions[1]}) {
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        heading->adjustSize();
    }
    for (const OptionBox& box : kOptionBoxes) {
        auto* check = new QCheckBox(QString::fromUtf8(box.text), options);
        check->setObjectName(QStringLiteral("Check1"));
        check->setProperty("key", QString::fromLatin1(box.key));
        check->move(40, window::pixelsFromTwips(optionTopTwips(box.index)));
        check->adjustSize();
        optionBoxes[box.index] = check;
    }

    // Page (2): the cache folder.
    QWidget* cache = tabFaces[2];
    captions[3] = label(QStringLiteral("缓存设置："), cache, 20, 24);
    cacheFolderEdit = new QLineEdit(cache);
    cacheFolderEdit->setObjectName(QStringLiteral("Text1"));
    cacheFolderEdit->setGeometry(20, 50, 250, 25);
    browseCacheFolderButton = new QPushButton(QStringLiteral("浏览.."), cache);
    browseCacheFolderButton->setObjectName(QStringLiteral("Command1"));
    browseCacheFolderButton->setGeometry(280, 50, 70, 25);
    connect(browseCacheFolderButton, &QPushButton::clicked, this, [this] { browseCacheFolder(); });
    captions[5] = label(QStringLiteral("观看过和下载的影片将存贮在此文件夹中"), cache, 20, 90);
    cacheMoveNotice = label(QStringLiteral("正在改变影片缓冲路径，请稍后..."), cache, 20, 130);
    cacheMoveNotice->setObjectName(QStringLiteral("dengdeng"));
    cacheMoveNotice->setForeColour(kLinkHoverColour);
    cacheMoveNotice->hide();

    // Page (0): about the program.
    QWidget* about = tabFaces[0];
    captions[4] = label(QStringLiteral("Qarvel影视盒"), about, 30, 24);
    QFont big = captions[4]->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    captions[4]->setFont(big);
    captions[4]->adjustSize();
    captions[9] = label(QStringLiteral("Qarvel影视盒是一款以P2P技术为核心的播放软件。"), about, 30, 70);
    captions[6] = label(QStringLiteral("软件以搜索引擎的方式整合了互联网上的媒体资"), about, 30, 100);
    captions[7] = label(QStringLiteral("源。为用户提供方便、快捷的浏览体验。"), about, 30, 122);
    captions[8] = label(QStringLiteral("版本 1.0    发布日期 2011.8.16"), about, 30, 160);
    captions[0] = label(QStringLiteral("官方网址: ") + s_.siteAddress, about, 30, 196);
    captions[0]->setCursor(Qt::PointingHandCursor);
    connect(captions[0], &window::Label::moved, this, [this] { siteLinkMouseMove(); });
    connect(captions[0], &window::Label::clicked, this, [this] { openSiteLink(); });
    for (int i = 0; i < int(captions.size()); ++i) {
        if (captions[i]) captions[i]->setObjectName(QStringLiteral("L1_%1").arg(i));
    }

    okButton = new QPushButton(QStringLiteral("确定"), panel);
    okButton->setObjectName(QStringLiteral("cmdOK"));
    cancelButton = new QPushButton(QStringLiteral("取消"), panel);
    cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    applyButton = new QPushButton(QStringLiteral("应用(&A)"), panel);
    applyButton->setObjectName(QStringLiteral("cmdApply"));
    connect(okButton, &QPushButton::clicked, this, [this] { acceptSettings(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancelSettings(); });
    connect(applyButton, &QPushButton::clicked, this, [this] { applySettings(); });
}

void SettingsWindow::loadSettings() {
    // The line break lifts each tab's caption inside its label.
    for (window::Label* tab : tabCaptions) tab->setText(tab->text() + QStringLiteral("\r\n"));
    showSettingsTab(1);
    for (const OptionBox& box : kOptionBoxes) {
        const QString value = s_.settings.read(kSection, QString::fromLatin1(box.key), QStringLiteral("0"));
        bool number = false;
        const double n = value.trimmed().toDouble(&number);
        // Only a value of 1 clears a box; a value that is no number leaves it ticked.
        optionBoxes[box.index]->setChecked(!(number && n == 1));
    }
    DialogQvodFolder = s_.settings.read(kSection, QStringLiteral("qvodw"), QStringLiteral("0"));
    LoadedCachePath = s_.readCachePath ? s_.readCachePath(DialogQvodFolder) : QString();
    cacheFolderEdit->setText(LoadedCachePath.isEmpty() ? s_.defaultCacheFolder : LoadedCachePath);
    SiteLinkClicked = 0;
    setSiteLinkLook(false);
}

void SettingsWindow::showSettingsTab(int i) {
    if (i < 0 || i > 2) return;
    for (int t = 0; t < 3; ++t) {
        const bool selected = t == i;
        QPalette pal = tabCaptions[t]->palette();
        pal.setColor(QPalette::Window, selected ? kSelectedTabColour : kTabColour);
        tabCaptions[t]->setPalette(pal);
        tabCaptions[t]->setForeColour(selected ? Qt::white : Qt::black);
        tabFaces[t]->hide();
    }
    tabFaces[i]->show();
}

void SettingsWindow::browseCacheFolder() {
    const QString chosen =
        s_.dialogs.over(this).pickFolder(cacheFolderEdit->text(), QStringLiteral("请选择影片下载存放的文件夹"));
    cacheFolderEdit->setText(chosen);
    if (chosen.isEmpty() && !LoadedCachePath.isEmpty()) cacheFolderEdit->setText(LoadedCachePath);
    if (!cacheFolderEdit->text().endsWith(u'/')) cacheFolderEdit->setText(cacheFolderEdit->text() + u'/');
}

void SettingsWindow::applySettings() {
    for (const OptionBox& box : kOptionBoxes) {
        const bool ticked = optionBoxes[box.index]->isChecked();
        s_.settings.store(kSection, QString::fromLatin1(box.key), ticked ? QStringLiteral("2") : QStringLiteral("1"));
    }
    cacheFolderEdit->setText(normalisedCacheFolder(cacheFolderEdit->text(), s_.defaultCacheFolder));
    const QString path = cacheFolderEdit->text();
    if (path == LoadedCachePath) return;

    cacheMoveNotice->show();
    // Let the notice be drawn before the service goes down; other handlers may run here.
    QPointer<SettingsWindow> alive(this);
    QCoreApplication::processEvents();
    if (!alive) return;
    const QString folder = DialogQvodFolder;
    if (s_.stopService) s_.stopService(folder);
    const bool written = !s_.writeCachePath || s_.writeCachePath(folder, path);
    if (!folder.isEmpty() && s_.startService) s_.startService(folder);
    cacheMoveNotice->hide();
    if (!written) {
        // Saying it worked would send the next films where the user does not
        // expect them: the old folder stays, shown and in use.
        cacheFolderEdit->setText(LoadedCachePath);
        s_.dialogs.over(this).inform(QStringLiteral("提示："),
                                     QStringLiteral("缓存路径修改失败，影片仍存放在原来的文件夹中。"));
        return;
    }
    LoadedCachePath = path;
    s_.dialogs.over(this).inform(QStringLiteral("提示："), QStringLiteral("缓存路径修改成功！"));
}

void SettingsWindow::acceptSettings() {
    QPointer<SettingsWindow> alive(this);
    applySettings();
    if (alive) close();
}

void SettingsWindow::cancelSettings() { close(); }

void SettingsWindow::closeButtonMouseMove(const QPoint& pos) {
    const bool over = closeButton->rect().contains(pos);
    closeButton->setPicture(s_.skin.piece(over ? 2 : 1, kCloseFaceX, 0, kFaceSize, kFaceSize));
}

void SettingsWindow::setSiteLinkLook(bool hover) {
    QFont f = captions[0]->font();
    f.setUnderline(hover);
    captions[0]->setFont(f);
    captions[0]->setForeColour(hover ? kLinkHoverColour : kLinkColour);
}

void SettingsWindow::siteLinkMouseMove() {
    if (SiteLinkClicked == 0) setSiteLinkLook(true);
}

void SettingsWindow::openSiteLink() {
    if (s_.openUrl) s_.openUrl(s_.siteAddress);
    SiteLinkClicked = 1;
    setSiteLinkLook(false);
}

void SettingsWindow::tabFaceMouseMove() {
    SiteLinkClicked = 0;
    setSiteLinkLook(false);
}

void SettingsWindow::repaintFrame() {
    update();
    setMask(window::roundRegion(width(), height()));
    closeButton->setGeometry(width() - 32, 3, kFaceSize, kFaceSize);
    closeButton->setPicture(s_.skin.piece(1, kCloseFaceX, 0, kFaceSize, kFaceSize));
    const int skin = s_.skin.index();
    titleText->setForeColour(window::skinColours(skin == 1 ? 1 : 0).title);
}

void SettingsWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    // The dialog's title band is as high as the main window's in compact mode.
    window::paintFrame(p, s_.skin.slot(0), width(), height(), window::FrameKind::Compact);
}

void SettingsWindow::resizeEvent(QResizeEvent*) {
    layoutControls();
    repaintFrame();
}

void SettingsWindow::layoutControls() {
    titleText->move(16, 7);
    panel->setGeometry(2, 30, width() - 4, height() - 32);
    const int upper = panel->height() - kButtonStrip;
    column->setGeometry(0, 0, kColumnWidth, upper);
    pageArea->setGeometry(kColumnWidth, 0, panel->width() - kColumnWidth, upper);
    for (int i = 0; i < 3; ++i) {
        tabCaptions[i]->setGeometry(0, kTabTops[i], kColumnWidth, kTabHeight);
        window::fillParent(tabFaces[i]);
    }
    constexpr int kButtonWidth = 75, kButtonHeight = 25, kGap = 10;
    const int y = upper + (kButtonStrip - kButtonHeight) / 2;
    int x = panel->width() - 3 * kButtonWidth - 2 * kGap - 14;
    for (QPushButton* b : {okButton, cancelButton, applyButton}) {
        b->setGeometry(x, y, kButtonWidth, kButtonHeight);
        x += kButtonWidth + kGap;
    }
}

void SettingsWindow::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemMove()) return;
    // No move of the platform's own: follow the pointer until the release.
    dragging_ = true;
    dragOffset_ = e->globalPosition().toPoint() - pos();
}

void SettingsWindow::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_ && (e->buttons() & Qt::LeftButton)) move(e->globalPosition().toPoint() - dragOffset_);
}

void SettingsWindow::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

SettingsDialog::SettingsDialog(QWidget* owner, SettingsDialogServices services)
    : owner_(owner), services_(std::move(services)) {}

SettingsDialog::~SettingsDialog() { delete window_.data(); }

void SettingsDialog::open() {
    if (isOpen()) {
        window_->raise();
        window_->activateWindow();
        return;
    }
    // A closed dialog is on its way out; the opening loads a new one.
    window_ = new SettingsWindow(owner_, services_);
    window_->show();
}

bool SettingsDialog::isOpen() const { return window_ && window_->isVisible(); }

void SettingsDialog::repaintFrame() {
    if (isOpen()) window_->repaintFrame();
}

SettingsWindow* SettingsDialog::window() const { return isOpen() ? window_.data() : nullptr; }

}  // namespace qarvel::dialogs
