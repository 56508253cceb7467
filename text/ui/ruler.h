// The ruler above the text: a bar at every default tab stop and three indent markers
// (first line, left, right) painted as triangles, which the user drags to set the
// current paragraph's indents. The window places the markers and reads where they were
// dropped; the ruler only paints and reports mouse events.
#pragma once

#include <QList>
#include <QWidget>

class RulerMarker : public QWidget
{
    Q_OBJECT
public:
    enum class Shape { FirstLine, Left, Right };
    RulerMarker(Shape shape, QWidget *parent);
    Shape shape() const { return m_shape; }

Q_SIGNALS:
    // Mouse x relative to the marker.
    void pressed(int x);
    void moved(int x);
    void released();

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    Shape m_shape;
};

class Ruler : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 32;
    explicit Ruler(QWidget *parent = nullptr);
    // Distance between two bars, in pixels (the default tab stop) and the x of the text's
    // left edge, where the first bar stands.
    void setTicks(int origin, int step);
    // The current paragraph's own tab stops, as x positions on the ruler: each is drawn as a
    // tab marker, and the default bars are drawn only after the last of them (where the
    // default stops take over).
    void setTabStops(const QList<int> &xs);
    QList<int> tabStops() const { return m_tabStops; }
    // The top line: x = 5, 2 pixels high, across the ruler less 5 pixels on each side.
    QRect rulerLine() const;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    int m_origin = 6;
    int m_step = 48;
    QList<int> m_tabStops;
};
