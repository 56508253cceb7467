#include "common/ui/messageboxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace messageboxes {
namespace {
Responder &responder()
{
    static Responder r;
    return r;
}

QMessageBox::Icon iconOf(Kind k)
{
    switch (k) {
    case Kind::Warning: return QMessageBox::Warning;
    case Kind::Information: return QMessageBox::Information;
    case Kind::Question: return QMessageBox::Question;
    case Kind::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QString captionOf(Answer a)
{
    switch (a) {
    case Answer::Oui: return QStringLiteral("&Oui");
    case Answer::Non: return QStringLiteral("&Non");
    case Answer::Annuler: return QStringLiteral("Annuler");
    case Answer::Ok: return QStringLiteral("OK");
    }
    return {};
}
} // namespace

void setResponder(Responder r) { responder() = std::move(r); }

Answer ask(QWidget *parent, Kind kind, const QString &title, const QString &text, std::initializer_list<Answer> buttons)
{
    if (responder())
        return responder()(Shown{kind, title, text});
    QMessageBox box(iconOf(kind), title, text, QMessageBox::NoButton, parent);
    QList<QPair<QAbstractButton *, Answer>> map;
    for (Answer a : buttons) {
        const auto role = a == Answer::Annuler ? QMessageBox::RejectRole
                : a == Answer::Non             ? QMessageBox::NoRole
                                               : QMessageBox::AcceptRole;
        QPushButton *b = box.addButton(captionOf(a), role);
        map.append({b, a});
        if (a == Answer::Annuler)
            box.setEscapeButton(b);
    }
    if (!map.isEmpty())
        box.setDefaultButton(static_cast<QPushButton *>(map.first().first));
    box.exec();
    for (const auto &p : map)
        if (box.clickedButton() == p.first)
            return p.second;
    // Closed by the window's close box: the safe answer.
    return buttons.size() > 1 ? Answer::Annuler : *buttons.begin();
}

Answer askSaveChanges(QWidget *parent, const QString &name)
{
    return ask(parent, Kind::Warning, QStringLiteral("Avertissement"),
               QStringLiteral("Sauver modifications dans %1 ?").arg(name), {Answer::Oui, Answer::Non, Answer::Annuler});
}

void inform(QWidget *parent, const QString &text, const QString &title)
{
    ask(parent, Kind::Information, title, text, {Answer::Ok});
}

bool confirmSmallerSave(QWidget *parent, const QString &loss)
{
    return ask(parent, Kind::Warning, QStringLiteral("Avertissement"),
               loss + QStringLiteral("\nLe fichier enregistré ne les contiendra pas. Enregistrer quand même ?"),
               {Answer::Oui, Answer::Annuler})
            == Answer::Oui;
}

} // namespace messageboxes
