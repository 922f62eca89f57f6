#include "qt/RichText.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>
#include <iterator>
#include <limits>

#include "formats/TextSearch.h"
#include "qt/Accessibility.h"
#include "qt/Drawing.h"
#include "qt/Form.h"
#include "qt/Gdi.h"
#include "qt/Strings.h"
#include "runtime/RuntimeError.h"

namespace scenova::qt {

namespace {

constexpr int kMarginMark = 3;          // the mark beside highlighted lines
const QColor kMarkColour{150, 90, 0};   // dark enough beside the highlight colour
constexpr qreal kDocumentMargin = 6.0;  // room for the mark

int16_t ButtonNumber(Qt::MouseButton button) {
    switch (button) {
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 1;
    }
}

QTextCharFormat CharFormat(const formats::RtfCharFormat& look) {
    QTextCharFormat format;
    if (!look.fontName.empty()) {
        format.setFontFamilies({ToQString(look.fontName)});
    }
    format.setFontPointSize(look.halfPoints / 2.0);
    format.setFontWeight(look.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(look.italic);
    format.setFontUnderline(look.underline);
    if (look.colour) {
        format.setForeground(ToQColor(static_cast<int32_t>(*look.colour)));
    }
    return format;
}

}  // namespace

TranscriptView::TranscriptView(QWidget* parent, std::weak_ptr<RichText> owner)
    : QAbstractScrollArea(parent), m_owner(std::move(owner)) {
    InstallAccessibility();
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
}

void TranscriptView::paintEvent(QPaintEvent* event) {
    if (const auto owner = m_owner.lock()) {
        QPainter painter(viewport());
        owner->Paint(painter, event->rect());
    }
}

void TranscriptView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    viewport()->update();
}

void TranscriptView::scrollContentsBy(int, int) {
    if (const auto owner = m_owner.lock()) {
        owner->ScrollTo(verticalScrollBar()->value());
    }
    viewport()->update();
}

void TranscriptView::mouseMoveEvent(QMouseEvent* event) {
    if (const auto owner = m_owner.lock()) {
        owner->PointAt(owner->LinkAtPoint(event->position().toPoint()));
    }
}

void TranscriptView::mousePressEvent(QMouseEvent* event) {
    if (const auto owner = m_owner.lock()) {
        m_pressedLink = owner->LinkAtPoint(event->position().toPoint());
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void TranscriptView::mouseReleaseEvent(QMouseEvent* event) {
    const auto owner = m_owner.lock();
    const int32_t pressed = std::exchange(m_pressedLink, -1);
    if (owner && pressed >= 0 && owner->LinkAtPoint(event->position().toPoint()) == pressed) {
        owner->UserClickLink(pressed, ButtonNumber(event->button()));
    }
}

void TranscriptView::leaveEvent(QEvent* event) {
    if (const auto owner = m_owner.lock()) {
        owner->PointAt(-1);
    }
    QAbstractScrollArea::leaveEvent(event);
}

bool TranscriptView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        if (const auto owner = m_owner.lock()) {
            owner->PointAt(-1);
        }
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TranscriptView::keyPressEvent(QKeyEvent* event) {
    const auto owner = m_owner.lock();
    if (!owner) {
        event->ignore();
        return;
    }
    switch (event->key()) {
        case Qt::Key_Up:
            owner->UserKey(RichText::Key::Up);
            return;
        case Qt::Key_Down:
            owner->UserKey(RichText::Key::Down);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            owner->UserKey(RichText::Key::Enter);
            return;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            QAbstractScrollArea::keyPressEvent(event);
            return;
        default:
            event->ignore();  // the window's keys (Space, arrows, T) go on to it
            return;
    }
}

void TranscriptView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (const auto owner = m_owner.lock()) {
        owner->UserFocus();
    }
    viewport()->update();
}

void TranscriptView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (const auto owner = m_owner.lock()) {
        owner->UserBlur();
    }
    viewport()->update();
}

std::shared_ptr<RichText> RichText::Create(Context& ctx, std::string name, Twips twips,
                                           QWidget* parent) {
    auto text = std::make_shared<RichText>(ctx, std::move(name), twips);
    auto* view = new TranscriptView(parent, text);
    text->m_document.setDefaultFont(view->font());
    text->Attach(view);
    text->Layout();
    return text;
}

RichText::RichText(Context& ctx, std::string name, Twips twips)
    : ContainedControl(ctx, std::move(name), twips, false, 0) {
    m_document.setUndoRedoEnabled(false);
    m_document.setDocumentMargin(kDocumentMargin);
}

TranscriptView* RichText::View() const {
    return static_cast<TranscriptView*>(m_widget.data());
}

int32_t RichText::RtfMetricB() const {
    return static_cast<int32_t>(std::lround(m_twips.perPixelX));
}

formats::PackedText RichText::Read(const std::string& rtf) {
    formats::RtfDocument read = formats::ReadRtfDocument(rtf);
    m_astral.clear();
    if (read.text.isWide) {
        for (std::size_t i = 0; i < read.text.size(); ++i) {
            if (read.text[i] > 0xFFFF) {
                m_astral.push_back(static_cast<int32_t>(i));
            }
        }
    }
    m_document.clear();
    QTextCursor cursor(&m_document);
    QTextBlockFormat paragraph;
    paragraph.setTopMargin(0);
    paragraph.setBottomMargin(0);
    cursor.setBlockFormat(paragraph);
    const std::u32string points = read.text.CodePoints();
    for (std::size_t r = 0; r < read.runs.size(); ++r) {
        const std::size_t start = read.runs[r].start;
        const std::size_t end = r + 1 < read.runs.size() ? read.runs[r + 1].start : points.size();
        // insertText turns each "\n" into a paragraph of the same format.
        cursor.insertText(
            ToQString(formats::EncodeUtf8(std::u32string_view(points).substr(start, end - start))),
            CharFormat(read.runs[r].format));
    }
    return std::move(read.text);
}

void RichText::Loaded() {
    m_found = {0, 0};
    Layout();
}

int32_t RichText::LastVisibleLine() const {
    const int32_t first = FirstVisibleLine();
    const qreal bottom =
        m_lines[static_cast<std::size_t>(first)].top - m_lines.front().top + ViewportHeight();
    const auto after = std::upper_bound(m_lines.begin() + first, m_lines.end(), bottom,
                                        [](qreal y, const Line& line) { return y < line.bottom; });
    return std::max(first, static_cast<int32_t>(after - m_lines.begin()) - 1);
}

bool RichText::ShowsHighlighted(int32_t position) const {
    if (position < 0 || position >= TextLength()) {
        return false;
    }
    const int at = ToDocument(position);
    const QTextBlock block = m_document.findBlock(at);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(at)) {
            const QBrush brush = fragment.charFormat().background();
            return brush.style() != Qt::NoBrush && brush.color() == kHighlight;
        }
    }
    return false;
}

QPoint RichText::PointOf(int32_t position) const {
    const int at = ToDocument(std::clamp(position, int32_t{0}, TextLength()));
    const QTextBlock block = m_document.findBlock(at);
    const QTextLayout* layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(at - block.position());
    if (!line.isValid()) {
        return QPoint();
    }
    const int inBlock = at - block.position();
    const qreal x = (line.cursorToX(inBlock) + line.cursorToX(inBlock + 1)) / 2;
    const QRectF box = m_document.documentLayout()->blockBoundingRect(block);
    const qreal offset =
        m_lines[static_cast<std::size_t>(FirstVisibleLine())].top - m_lines.front().top;
    return (QPointF(box.left() + x, box.top() + line.y() + line.height() / 2 - offset) *
            ScaleOf(m_widget))
        .toPoint();
}

void RichText::KeyboardMoved() {
    if (HasKeyboard() && KeyboardLink() >= 0) {
        AnnounceFocusedChild(m_widget, KeyboardLink());
    }
}

void RichText::ShowFound(int32_t start, int32_t end) {
    start = std::clamp(start, int32_t{0}, TextLength());
    m_found = {start, std::clamp(end, start, TextLength())};
    if (start < m_found.second) {
        const int32_t top = LineOf(start);
        if (top < FirstVisibleLine() || LineOf(m_found.second - 1) > LastVisibleLine()) {
            ScrollTo(top);
        }
    }
    Redraw();
}

int32_t RichText::ToDocument(int32_t position) const {
    const auto before = std::lower_bound(m_astral.begin(), m_astral.end(), position);
    return position + static_cast<int32_t>(before - m_astral.begin());
}

int32_t RichText::FromDocument(int32_t position) const {
    // Character j beyond the BMP starts at m_astral[j] + j in the document.
    int32_t low = 0;
    int32_t high = static_cast<int32_t>(m_astral.size());
    while (low < high) {
        const int32_t mid = (low + high) / 2;
        if (m_astral[static_cast<std::size_t>(mid)] + mid + 1 <= position) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return position - low;
}

int32_t RichText::LineOf(int32_t position) const {
    const int32_t at = ToDocument(std::clamp(position, int32_t{0}, TextLength()));
    const auto after =
        std::upper_bound(m_lines.begin(), m_lines.end(), at,
                         [](int32_t p, const Line& line) { return p < line.position; });
    return std::max(int32_t{0}, static_cast<int32_t>(after - m_lines.begin()) - 1);
}

int32_t RichText::LastFirstLine() const {
    const qreal wanted = m_lines.back().bottom - ViewportHeight();
    const auto first = std::lower_bound(
        m_lines.begin(), m_lines.end(), wanted,
        [&](const Line& line, qreal y) { return line.top - m_lines.front().top < y; });
    return std::clamp(static_cast<int32_t>(first - m_lines.begin()), int32_t{0}, LineCount() - 1);
}

int32_t RichText::ViewportHeight() const {
    return m_widget ? static_cast<int32_t>(m_widget->height() / ScaleOf(m_widget)) : 0;
}

void RichText::Layout() {
    if (m_widget) {
        // In the lesson's own pixels: its lines are the same at every scale.
        const int scrollBar = m_widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int width = static_cast<int>(std::lround(m_widget->width() / ScaleOf(m_widget)));
        m_document.setTextWidth(std::max(1, width - scrollBar));
    }
    QAbstractTextDocumentLayout* layout = m_document.documentLayout();
    layout->documentSize();  // lays the whole document out
    m_lines.clear();
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block);
        const QTextLayout* lines = block.layout();
        for (int i = 0; lines && i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const qreal top = box.top() + line.y();
            m_lines.push_back({block.position() + line.textStart(), top, top + line.height()});
        }
    }
    if (m_lines.empty()) {
        m_lines.push_back({0, kDocumentMargin, kDocumentMargin});
    }
    ScrollTo(FirstVisibleLine());
}

void RichText::Rescale() {
    ContainedControl::Rescale();
    Layout();
    Redraw();
}

void RichText::Placed() {
    Layout();
    ContainedControl::Placed();
}

void RichText::Scrolled() {
    TranscriptView* view = View();
    if (!view) {
        return;
    }
    view->setVerticalScrollBarPolicy(ScrollBarVisible() ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAlwaysOff);
    QScrollBar* bar = view->verticalScrollBar();
    const QSignalBlocker quiet(bar);
    bar->setRange(0, LastFirstLine());
    bar->setPageStep(std::max(1, LastVisibleLine() - FirstVisibleLine() + 1));
    bar->setValue(FirstVisibleLine());
    view->viewport()->update();
}

void RichText::Shade(int32_t start, int32_t end, bool highlighted) {
    QTextCursor cursor(&m_document);
    cursor.setPosition(ToDocument(start));
    cursor.setPosition(ToDocument(end), QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setBackground(highlighted ? QBrush(kHighlight) : QBrush(Qt::NoBrush));
    cursor.mergeCharFormat(format);
    Redraw();
    Announce(start, end);
}

void RichText::Redraw() {
    if (m_widget) {
        View()->viewport()->update();
    }
}

void RichText::Announce(int32_t start, int32_t end) const {
    if (!QAccessible::isActive()) {
        return;  // no screen reader: not worth a look through the links
    }
    int32_t first = -1;
    int32_t last = -1;
    const auto& links = Links();
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (links[i].start < end && start < links[i].end) {
            first = first < 0 ? static_cast<int32_t>(i) : first;
            last = static_cast<int32_t>(i);
        }
    }
    if (first >= 0) {
        AnnounceHighlight(m_widget, first, last);
    }
}

int32_t RichText::LinkAtPoint(QPoint shown) const {
    const QPointF point = QPointF(shown) / ScaleOf(m_widget);
    const qreal offset =
        m_lines[static_cast<std::size_t>(FirstVisibleLine())].top - m_lines.front().top;
    const int hit =
        m_document.documentLayout()->hitTest(QPointF(point.x(), point.y() + offset), Qt::ExactHit);
    if (hit < 0) {
        return -1;
    }
    // The hit is the position nearest the point: the character under it is
    // the one after or, on its right half, the one before.
    const int32_t at = FromDocument(hit);
    const int32_t link = LinkIndexAt(at);
    if (link >= 0 || at == 0 || Text()[static_cast<std::size_t>(at - 1)] == U'\n') {
        return link;
    }
    return LinkIndexAt(at - 1);
}

void RichText::Paint(QPainter& painter, const QRect& shownArea) {
    const double scale = ScaleOf(m_widget);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    const QRect area =
        QRectF(QPointF(shownArea.topLeft()) / scale, QSizeF(shownArea.size()) / scale)
            .toAlignedRect();
    const QImage back = ImageOf(BackPicture());
    if (back.isNull()) {
        painter.fillRect(area, Qt::white);
    } else {
        painter.fillRect(area, Qt::white);
        painter.drawImage(0, 0, back);
    }
    const qreal offset =
        m_lines[static_cast<std::size_t>(FirstVisibleLine())].top - m_lines.front().top;
    // The mark beside each line holding highlighted text: the current block
    // shows by more than its colour.
    const qreal height = ViewportHeight();
    for (std::size_t line = static_cast<std::size_t>(FirstVisibleLine());
         line < m_lines.size() && m_lines[line].top - offset < height; ++line) {
        const int32_t start = FromDocument(m_lines[line].position);
        const int32_t end =
            line + 1 < m_lines.size() ? FromDocument(m_lines[line + 1].position) : TextLength();
        const auto& highlights = Highlights();
        const auto hit = std::upper_bound(highlights.begin(), highlights.end(), start,
                                          [](int32_t at, const Range& r) { return at < r.end; });
        if (hit != highlights.end() && hit->start < std::max(end, start + 1)) {
            painter.fillRect(QRectF(1, m_lines[line].top - offset, kMarginMark,
                                    m_lines[line].bottom - m_lines[line].top),
                             kMarkColour);
        }
    }
    // Lines above the first one shown stay out of the top margin.
    painter.setClipRect(QRectF(0, m_lines.front().top, View()->viewport()->width() / scale, height),
                        Qt::IntersectClip);
    painter.translate(0, -offset);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(area).translated(0, offset);
    context.palette.setColor(QPalette::Text, Qt::black);
    if (EnteredLink() >= 0 && static_cast<std::size_t>(EnteredLink()) < Links().size()) {
        const Link& link = Links()[static_cast<std::size_t>(EnteredLink())];
        QAbstractTextDocumentLayout::Selection rollover;
        rollover.cursor = QTextCursor(&m_document);
        rollover.cursor.setPosition(ToDocument(link.start));
        rollover.cursor.setPosition(ToDocument(link.end), QTextCursor::KeepAnchor);
        rollover.format.setForeground(ToQColor(RolloverColor()));
        context.selections.push_back(rollover);
    }
    if (m_found.first < m_found.second) {
        // White on dark blue: apart from the highlight and the rollover.
        QAbstractTextDocumentLayout::Selection found;
        found.cursor = QTextCursor(&m_document);
        found.cursor.setPosition(ToDocument(m_found.first));
        found.cursor.setPosition(ToDocument(m_found.second), QTextCursor::KeepAnchor);
        found.format.setBackground(QColor(0, 60, 160));
        found.format.setForeground(Qt::white);
        context.selections.push_back(found);
    }
    m_document.documentLayout()->draw(&painter, context);
    // The keyboard's line, framed while the transcript has the focus.
    if (m_widget && m_widget->hasFocus() && KeyboardLink() >= 0) {
        const Link& link = Links()[static_cast<std::size_t>(KeyboardLink())];
        const Line& first = m_lines[static_cast<std::size_t>(LineOf(link.start))];
        const Line& last =
            m_lines[static_cast<std::size_t>(LineOf(std::max(link.end - 1, link.start)))];
        // Around the text, reaching a little into the lines beside.
        const QRectF line(0, first.top - 3, m_document.textWidth(), last.bottom - first.top + 6);
        const QRectF shown = painter.transform().mapRect(line);
        painter.setClipping(false);
        painter.resetTransform();
        DrawFocusRing(painter, shown);
    }
}

}  // namespace scenova::qt
