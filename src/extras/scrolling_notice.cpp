#include "extras/scrolling_notice.h"

#include "extras/browser_link.h"
#include "extras/control_files.h"
#include "platform/text_fetcher.h"
#include "state/main_window_state.h"
#include "window/picture_box.h"

#include <QTimer>

namespace qarvel::extras {

namespace {

// A notice comes in this far below its resting place and rises 2 a step.
constexpr int kSlideDistance = 12;
constexpr int kSlideStep = 2;
// Where a single notice stays.
constexpr int kSingleLeft = 470;
constexpr int kSingleTop = 16;

}  // namespace

ScrollingNotice::ScrollingNotice(MainWindowState& state, NoticeControls controls, NoticeServices services, QString base)
    : state_(state), c_(controls), s_(std::move(services)), base_(std::move(base)) {
    labels_.append(c_.firstNoticeLine);
    connect(c_.firstNoticeLine, &window::Label::moved, this, [this] { noticeLineMouseMove(0); });
    connect(c_.firstNoticeLine, &window::Label::clicked, this, [this] { openNoticeLink(0); });
    connect(c_.controlBar, &window::PictureBox::moved, this, [this] { controlBarMouseMove(); });
    connect(c_.noticeScrollTimer, &QTimer::timeout, this, &ScrollingNotice::scrollNotice);
}

ScrollingNotice::~ScrollingNotice() {
    if (ticket_) s_.fetcher.cancel(ticket_);
}

void ScrollingNotice::startNotice() {
    if (ticket_) s_.fetcher.cancel(ticket_);
    ticket_ = s_.fetcher.fetch(base_ + QStringLiteral("lib/gun.txt"), [this](const QString& text) {
        ticket_ = 0;
        apply(text);
    });
}

void ScrollingNotice::apply(const QString& text) {
    const QList<NoticeItem> items = parseNoticeList(text);
    if (items.isEmpty()) return;
    state_.NoticeShowMs = 5000;
    state_.NoticeBaseTop = c_.firstNoticeLine->y();
    for (int k = 0; k < items.size(); ++k) {
        window::Label* label = labelFor(k);
        label->setText(items[k].text);
        state_.NoticeLinks[k] = items[k].link;
        label->move(label->x(), state_.NoticeBaseTop + kSlideDistance);
    }
    state_.NoticeLastIndex = int(items.size()) - 1;
    if (items.size() == 1) {
        // A single notice stays where it is first shown; nothing moves, so
        // the timer is not needed.
        c_.firstNoticeLine->move(kSingleLeft, kSingleTop);
        c_.firstNoticeLine->show();
        return;
    }
    pendingSteps_ = 1;
    c_.noticeScrollTimer->setInterval(kTickMs);
    c_.noticeScrollTimer->start();
}

window::Label* ScrollingNotice::labelFor(int index) {
    while (labels_.size() <= index) {
        const int k = int(labels_.size());
        auto* label = new window::Label(QString(), c_.firstNoticeLine->parentWidget());
        label->setObjectName(QStringLiteral("La_%1").arg(k));
        label->setFont(c_.firstNoticeLine->font());
        label->setForeColour(c_.firstNoticeLine->foreColour());
        label->setCursor(c_.firstNoticeLine->cursor());
        label->setAutoSize(c_.firstNoticeLine->autoSize());
        label->move(c_.firstNoticeLine->pos());
        label->hide();
        connect(label, &window::Label::moved, this, [this, k] { noticeLineMouseMove(k); });
        connect(label, &window::Label::clicked, this, [this, k] { openNoticeLink(k); });
        labels_.append(label);
    }
    return labels_[index];
}

void ScrollingNotice::scrollNotice() {
    const int steps = pendingSteps_;
    for (int i = 0; i < steps && c_.noticeScrollTimer->isActive(); ++i) step();
    if (c_.noticeScrollTimer->isActive()) scheduleNext();
}

void ScrollingNotice::step() {
    if (state_.NoticeCurrent < 0 || state_.NoticeCurrent >= labels_.size()) state_.NoticeCurrent = 0;
    window::Label* current = labels_[state_.NoticeCurrent];
    current->show();
    if (current->y() > state_.NoticeBaseTop) {
        current->move(current->x(), current->y() - kSlideStep);
        if (state_.NoticeLastIndex == 0) {
            c_.noticeScrollTimer->stop();
            return;
        }
    }
    if (state_.NoticeTicks > state_.NoticeShowMs / kTickMs) {
        state_.NoticeTicks = 0;
        if (state_.NoticeHover != 1) {
            current->hide();
            current->move(current->x(), state_.NoticeBaseTop + kSlideDistance);
            state_.NoticeCurrent = state_.NoticeCurrent >= state_.NoticeLastIndex ? 0 : state_.NoticeCurrent + 1;
        }
    } else {
        ++state_.NoticeTicks;
    }
}

void ScrollingNotice::scheduleNext() {
    // While a notice slides (or is due to change), every 50 ms step counts;
    // at rest the steps until the change only count ticks, so they are taken
    // together in one longer wait.
    const window::Label* current = labels_.value(state_.NoticeCurrent);
    const int countOver = state_.NoticeShowMs / kTickMs;
    const bool sliding = current && current->y() > state_.NoticeBaseTop;
    pendingSteps_ = sliding || state_.NoticeTicks > countOver ? 1 : countOver - state_.NoticeTicks + 2;
    c_.noticeScrollTimer->setInterval(pendingSteps_ * kTickMs);
}

void ScrollingNotice::setUnderline(window::Label* label, bool on) {
    if (!label) return;
    QFont font = label->font();
    if (font.underline() == on) return;
    font.setUnderline(on);
    label->setFont(font);
}

void ScrollingNotice::noticeLineMouseMove(int index) {
    if (state_.NoticeHover == 2) return;
    setUnderline(labels_.value(index), true);
    state_.NoticeHover = 1;
}

void ScrollingNotice::openNoticeLink(int index) {
    const QString link = state_.NoticeLinks.value(index);
    if (!link.isEmpty() && link != QLatin1String("*")) openInBrowser(s_.shell, link);
    setUnderline(labels_.value(state_.NoticeCurrent), false);
    state_.NoticeHover = 2;
}

void ScrollingNotice::clearHover() {
    window::Label* current = labels_.value(state_.NoticeCurrent);
    if (!current) return;
    if (window::numberFromColour(current->foreColour()) != kNormalColour)
        current->setForeColour(window::colourFromNumber(kNormalColour));
    setUnderline(current, false);
}

void ScrollingNotice::controlBarMouseMove() {
    clearHover();
    state_.NoticeHover = 0;
    if (s_.resetHoverColours) s_.resetHoverColours();
}

}  // namespace qarvel::extras
