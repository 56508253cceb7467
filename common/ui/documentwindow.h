// Base of the four kinds of document window the frame hosts: it knows its kind and the
// frame's services. What each kind does is in its module; the frame reaches a kind's
// operations through the matching interface of documentcommands.h.
#pragma once

#include "common/ui/frameservices.h"

#include <QWidget>

enum class DocKind { Texte = 0, Tableur = 1, Fichier = 2, Agenda = 3 };
constexpr int kDocKinds = 4;

class DocumentWindow : public QWidget
{
    Q_OBJECT
public:
    DocumentWindow(DocKind kind, FrameServices &frame, QWidget *parent = nullptr);
    DocKind kind() const { return m_kind; }
    FrameServices &frame() const { return m_frame; }

private:
    DocKind m_kind;
    FrameServices &m_frame;
};
