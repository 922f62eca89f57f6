#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QTextDocument>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formats/RtfReader.h"
#include "model/RichText.h"
#include "qt/ContainedControl.h"

namespace scenova::qt {

class RichText;

// The transcript as the user sees it: the document over the control's
// backdrop picture, scrolled by whole lines, with the link under the pointer
// in the rollover colour and the keyboard's line framed.
class TranscriptView final : public QAbstractScrollArea {
public:
    TranscriptView(QWidget* parent, std::weak_ptr<RichText> owner);
    const std::weak_ptr<RichText>& Owner() const { return m_owner; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    std::weak_ptr<RichText> m_owner;
    int32_t m_pressedLink = -1;
};

// The transcript control on a QTextDocument built from the component's RTF
// by the shared reader, with its fonts and colours; the model keeps the
// text, links, highlights and scrolling.
//
// Lines are the lines the text is laid out in at the control's width (a
// long paragraph takes several); the width left for the text does not
// depend on whether the scroll bar shows, so the lines stay put. A page is
// the lines that fit wholly.
//
// Highlighting shows in the highlight colour, with a mark in the margin
// beside each line that holds highlighted text. The user reaches links by
// pointing (the link under the pointer in the rollover colour), clicking
// (button 1 left, 2 right, 4 middle), and from the keyboard: Tab comes in
// once, Up and Down move between links as the pointer would, Enter clicks
// the link framed.
class RichText final : public ContainedControl<model::RichText>,
                       public std::enable_shared_from_this<RichText> {
public:
    static inline const QColor kHighlight{255, 226, 122};

    static std::shared_ptr<RichText> Create(Context& ctx, std::string name, Twips twips,
                                            QWidget* parent);
    RichText(Context& ctx, std::string name, Twips twips);

    int32_t RtfMetricB() const override;
    int32_t LastVisibleLine() const override;
    int32_t LineCount() const override { return static_cast<int32_t>(m_lines.size()); }
    // The line (from 0) holding a text position, clamped to the text.
    int32_t LineOf(int32_t position) const override;

    // Whether the document shows the character at a position highlighted.
    bool ShowsHighlighted(int32_t position) const;
    // Where the character at a position is shown, in the view's viewport.
    QPoint PointOf(int32_t position) const;
    TranscriptView* View() const;
    void Rescale() override;
    // The text a search of the learner's found, marked apart from the
    // highlight and scrolled into view (start == end: none).
    void ShowFound(int32_t start, int32_t end);
    std::pair<int32_t, int32_t> Found() const { return m_found; }

private:
    friend class TranscriptView;
    struct Line {
        int32_t position;  // of the document
        qreal top;
        qreal bottom;
    };

    formats::PackedText Read(const std::string& rtf) override;
    void Loaded() override;
    void Scrolled() override;
    void Shade(int32_t start, int32_t end, bool highlighted) override;
    void Redraw() override;
    void KeyboardMoved() override;
    int32_t LastFirstLine() const override;
    void Placed() override;

    // Positions of the text and of the document differ by the characters
    // beyond the Basic Multilingual Plane, which the document keeps as two.
    int32_t ToDocument(int32_t position) const;
    int32_t FromDocument(int32_t position) const;
    int32_t ViewportHeight() const;
    void Layout();
    // Tells a screen reader of the lines whose highlight changed.
    void Announce(int32_t start, int32_t end) const;
    // The link under a point of the viewport, -1 for none.
    int32_t LinkAtPoint(QPoint point) const;
    void Paint(QPainter& painter, const QRect& area);

    QTextDocument m_document;
    std::vector<int32_t> m_astral;  // text positions of characters beyond the BMP
    std::vector<Line> m_lines;
    std::pair<int32_t, int32_t> m_found{0, 0};
};

}  // namespace scenova::qt
