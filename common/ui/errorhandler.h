// The application's general error handler: a command's failure is shown as its French
// message in a box, and the command is abandoned. No exception crosses the event loop.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

namespace errorhandler {

// Shows `message` in an error box titled "Velmora" (or hands it to the test sink).
void show(QWidget *parent, const QString &message);

// Runs a command; a VelmoraError (or any other exception) is shown and abandons it.
// Returns true when the command ran to its end.
bool run(QWidget *parent, const std::function<void()> &command);

// While one lives, running out of memory in a command is told with `message` (for example
// "Mémoire insuffisante pour ouvrir ce fichier" around opening a document) instead of the
// general "Mémoire insuffisante pour terminer cette commande".
class OutOfMemoryMessage
{
public:
    explicit OutOfMemoryMessage(const QString &message);
    ~OutOfMemoryMessage();
    OutOfMemoryMessage(const OutOfMemoryMessage &) = delete;
    OutOfMemoryMessage &operator=(const OutOfMemoryMessage &) = delete;

private:
    QString m_previous;
};

// The sentence shown when memory runs out now.
QString outOfMemoryMessage();

// Tests install a sink that receives the messages instead of a modal box.
using Sink = std::function<void(const QString &)>;
void setSink(Sink sink);

} // namespace errorhandler
