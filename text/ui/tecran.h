// "Aperçu avant impression": a maximised window showing the printer page in its
// proportions, with the document's pages drawn inside it as they will print, one at a time.
#pragma once

#include "text/core/pageddocument.h"

#include <QDialog>

#include <memory>

class QFrame;
class QLabel;
class QPushButton;

// The paint area of the page panel: one page of the document, scaled to the panel.
class PreviewPage : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewPage(QWidget *parent = nullptr);
    void setDocument(const PagedDocument *document, QSize pagePixels);
    void setPage(int page);
    int page() const { return m_page; }

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    const PagedDocument *m_document = nullptr;
    QSize m_pagePixels;
    int m_page = 0;
};

class TEcran : public QDialog
{
    Q_OBJECT
public:
    explicit TEcran(QWidget *parent = nullptr);
    ~TEcran() override;

    // Sizes and places the window's parts for its current size: "Fermer" at the right, the
    // page panel in the printer page's proportions, centred.
    void Init();
    // The pages to show (a snapshot of the document) and the printer page in pixels.
    void setDocument(std::unique_ptr<PagedDocument> document, QSize pagePixels);
    int pageCount() const;
    int currentPage() const;
    void showPage(int page);

    QFrame *TopBar;
    QPushButton *CloseButton; // "Fermer"
    QPushButton *PreviousButton; // "Page précédente"
    QPushButton *NextButton; // "Page suivante"
    QLabel *PageLabel;
    QFrame *Panel2;
    PreviewPage *PaintBox1;

protected:
    void resizeEvent(QResizeEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    std::unique_ptr<PagedDocument> m_document;
    QSize m_pagePixels{210, 297};
};
