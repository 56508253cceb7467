// The start-up picture shown while the frame is made.
#pragma once

#include <QImage>
#include <QWidget>

class TSplash : public QWidget
{
    Q_OBJECT
public:
    explicit TSplash(QWidget *parent = nullptr);

    static constexpr int kWidth = 318;
    static constexpr int kHeight = 221;

    // The splash as its widgets draw it (raised grey panel, the program's picture, its name
    // and version), in the application's current style and fonts.
    static QImage render();
    // A picture of the splash made when the program was built (see splashgen.cpp), with the
    // name of the style it was drawn in. Shown instead of the widgets when the style is the
    // same and the screen has one device pixel per pixel: its two bold lines would otherwise
    // load two font faces at every start that nothing else needs then.
    static void setPrerendered(const QImage &picture, const QString &styleName);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static void buildContent(QWidget *parent);
    QImage m_picture; // null: the widgets draw the splash
};
