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
    labels_.append(c_.La0);
    connect(c_.La0, &window::Label::moved, this, [this] { La_MouseMove(0); });
    connect(c_.La0, &window::Label::clicked, this, [this] { La_Click(0); });
    connect(c_.bo_foot, &window::PictureBox::moved, this, [this] { bo_foot_MouseMove(); });
    connect(c_.Timerg, &QTimer::timeout, this, &ScrollingNotice::Timerg_Timer);
}

ScrollingNotice::~ScrollingNotice() {
    if (ticket_) s_.fetcher.cancel(ticket_);
}

void ScrollingNotice::gun_ad() {
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
    state_.NoticeBaseTop = c_.La0->y();
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
        c_.La0->move(kSingleLeft, kSingleTop);
        c_.La0->show();
        return;
    }
    pendingSteps_ = 1;
    c_.Timerg->setInterval(kTickMs);
    c_.Timerg->start();
}

window::Label* ScrollingNotice::labelFor(int index) {
    while (labels_.size() <= index) {
        const int k = int(labels_.size());
        auto* label = new window::Label(QString(), c_.La0->parentWidget());
        label->setObjectName(QStringLiteral("La_%1").arg(k));
        label->setFont(c_.La0->font());
        label->setForeColour(c_.La0->foreColour());
        label->setCursor(c_.La0->cursor());
        label->setAutoSize(c_.La0->autoSize());
        label->move(c_.La0->pos());
        label->hide();
        connect(label, &window::Label::moved, this, [this, k] { La_MouseMove(k); });
        connect(label, &window::Label::clicked, this, [this, k] { La_Click(k); });
        labels_.append(label);
    }
    return labels_[index];
}

void ScrollingNotice::Timerg_Timer() {
    const int steps = pendingSteps_;
    for (int i = 0; i < steps && c_.Timerg->isActive(); ++i) step();
    if (c_.Timerg->isActive()) scheduleNext();
}

void ScrollingNotice::step() {
    if (state_.NoticeCurrent < 0 || state_.NoticeCurrent >= labels_.size()) state_.NoticeCurrent = 0;
    window::Label* current = labels_[state_.NoticeCurrent];
    current->show();
    if (current->y() > state_.NoticeBaseTop) {
        current->move(current->x(), current->y() - kSlideStep);
        if (state_.NoticeLastIndex == 0) {
            c_.Timerg->stop();
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
    c_.Timerg->setInterval(pendingSteps_ * kTickMs);
}

void ScrollingNotice::setUnderline(window::Label* label, bool on) {
    if (!label) return;
    QFont font = label->font();
    if (font.underline() == on) return;
    font.setUnderline(on);
    label->setFont(font);
}

void ScrollingNotice::La_MouseMove(int index) {
    if (state_.NoticeHover == 2) return;
    setUnderline(labels_.value(index), true);
    state_.NoticeHover = 1;
}

void ScrollingNotice::La_Click(int index) {
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

void ScrollingNotice::bo_foot_MouseMove() {
    clearHover();
    state_.NoticeHover = 0;
    if (s_.resetHoverColours) s_.resetHoverColours();
}

}  // namespace qarvel::extras
