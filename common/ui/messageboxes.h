// The program's own message boxes with French buttons ("&Oui", "&Non", "Annuler"), with a
// hook through which tests answer them instead of a user.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

namespace messageboxes {

enum class Answer { Oui, Non, Annuler, Ok };
enum class Kind { Warning, Information, Question, Error };

// "Sauver modifications dans <name> ?" in a warning box titled "Avertissement" with
// "&Oui", "&Non" and "Annuler".
Answer askSaveChanges(QWidget *parent, const QString &name);

// A box with the given buttons; `buttons` is a subset of Oui/Non/Annuler/Ok.
Answer ask(QWidget *parent, Kind kind, const QString &title, const QString &text,
           std::initializer_list<Answer> buttons);

// Before a save that would write a file without what `loss` describes: `loss`, then "Le
// fichier enregistré ne les contiendra pas. Enregistrer quand même ?" with "&Oui" and
// "Annuler"; true for "Oui".
bool confirmSmallerSave(QWidget *parent, const QString &loss);

// An information box with one "OK" button.
void inform(QWidget *parent, const QString &text, const QString &title = QStringLiteral("Information"));

// Tests: every box is handed to the responder, which returns the button "pressed".
struct Shown
{
    Kind kind;
    QString title;
    QString text;
};
using Responder = std::function<Answer(const Shown &)>;
void setResponder(Responder responder);

} // namespace messageboxes
