#include "common/ui/errorhandler.h"

#include "common/velmoraerror.h"

#include <QMessageBox>

namespace errorhandler {
namespace {
Sink &sink()
{
    static Sink s;
    return s;
}
QString &currentOutOfMemory()
{
    static QString message = QStringLiteral("Mémoire insuffisante pour terminer cette commande");
    return message;
}
} // namespace

OutOfMemoryMessage::OutOfMemoryMessage(const QString &message) : m_previous(currentOutOfMemory())
{
    currentOutOfMemory() = message;
}

OutOfMemoryMessage::~OutOfMemoryMessage() { currentOutOfMemory() = m_previous; }

QString outOfMemoryMessage() { return currentOutOfMemory(); }

void setSink(Sink s) { sink() = std::move(s); }

void show(QWidget *parent, const QString &message)
{
    if (sink()) {
        sink()(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velmora"), message, QMessageBox::Ok, parent);
    box.exec();
}

bool run(QWidget *parent, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const VelmoraError &e) {
        show(parent, e.message());
    } catch (const std::bad_alloc &) {
        show(parent, outOfMemoryMessage());
    } catch (const std::exception &e) {
        show(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace errorhandler
