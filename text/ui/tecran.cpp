#include "text/ui/tecran.h"

#include "text/core/pagegeometry.h"
#include "text/core/pageddocument.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {
constexpr int kTopBarHeight = 33;
constexpr int kBevel = 2;
} // namespace

PreviewPage::PreviewPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPage::setDocument(const PagedDocument *document, QSize pagePixels)
{
    m_document = document;
    m_pagePixels = pagePixels;
    m_page = 0;
    update();
}

void PreviewPage::setPage(int page)
{
    m_page = page;
    update();
}

void PreviewPage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!m_document || m_pagePixels.isEmpty() || m_page < 0 || m_page >= m_document->pageCount())
        return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(double(width()) / m_pagePixels.width(), double(height()) / m_pagePixels.height());
    m_document->drawPage(p, m_page);
}

TEcran::TEcran(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Ecran"));
    setWindowTitle(QStringLiteral("Aperçu avant impression"));
    // Only a system menu: no help, minimise or maximise buttons of its own.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    TopBar = new QFrame(this);
    TopBar->setFrameShape(QFrame::StyledPanel);
    PreviousButton = new QPushButton(QStringLiteral("Page précédente"), TopBar);
    PreviousButton->setObjectName(QStringLiteral("PreviousButton"));
    PreviousButton->setAutoDefault(false);
    PreviousButton->setGeometry(8, 4, 110, 25);
    NextButton = new QPushButton(QStringLiteral("Page suivante"), TopBar);
    NextButton->setObjectName(QStringLiteral("NextButton"));
    NextButton->setAutoDefault(false);
    NextButton->setGeometry(124, 4, 110, 25);
    PageLabel = new QLabel(TopBar);
    PageLabel->setObjectName(QStringLiteral("PageLabel"));
    PageLabel->setAccessibleDescription(QStringLiteral("PageLabel"));
    PageLabel->setGeometry(246, 4, 160, 25);
    CloseButton = new QPushButton(QStringLiteral("Fermer"), TopBar);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel2->setLineWidth(kBevel);
    Panel2->setAutoFillBackground(true);
    QPalette white = Panel2->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel2->setPalette(white);
    PaintBox1 = new PreviewPage(Panel2);

    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(PreviousButton, &QPushButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(NextButton, &QPushButton::clicked, this, [this] { showPage(currentPage() + 1); });
    resize(1024, 768);
    showPage(0);
}

TEcran::~TEcran() = default;

void TEcran::Init()
{
    const auto g = pagegeometry::previewLayout(width(), height(), m_pagePixels.width(), m_pagePixels.height());
    TopBar->setGeometry(0, 0, width(), kTopBarHeight);
    CloseButton->setGeometry(g.closeLeft, 4, 100, 25);
    const int top = kTopBarHeight + qMax(0, (height() - kTopBarHeight - g.panelHeight) / 2);
    Panel2->setGeometry(g.panelLeft, top, g.panelWidth, g.panelHeight);
    PaintBox1->setGeometry(kBevel, kBevel, qMax(0, g.panelWidth - 2 * kBevel), qMax(0, g.panelHeight - 2 * kBevel));
}

void TEcran::setDocument(std::unique_ptr<PagedDocument> document, QSize pagePixels)
{
    m_document = std::move(document);
    if (!pagePixels.isEmpty())
        m_pagePixels = pagePixels;
    PaintBox1->setDocument(m_document.get(), m_pagePixels);
    Init();
    showPage(0);
}

int TEcran::pageCount() const { return m_document ? m_document->pageCount() : 0; }

int TEcran::currentPage() const { return PaintBox1->page(); }

void TEcran::showPage(int page)
{
    const int count = pageCount();
    page = qBound(0, page, qMax(0, count - 1));
    PaintBox1->setPage(page);
    PreviousButton->setEnabled(page > 0);
    NextButton->setEnabled(page + 1 < count);
    PageLabel->setText(count > 0 ? QStringLiteral("Page %1 sur %2").arg(page + 1).arg(count) : QString());
}

void TEcran::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    Init();
}

void TEcran::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Right: showPage(currentPage() + 1); return;
    case Qt::Key_PageUp:
    case Qt::Key_Left: showPage(currentPage() - 1); return;
    case Qt::Key_Home: showPage(0); return;
    case Qt::Key_End: showPage(pageCount() - 1); return;
    default: QDialog::keyPressEvent(e);
    }
}
