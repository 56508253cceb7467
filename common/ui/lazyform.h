// Tool forms live for the whole run but are built when first needed, so that starting the
// program builds none that the first frame does not show.
#pragma once

#include <QPointer>

class QWidget;

// The form held in `form`, created with `parent` on the first call (and again if its parent
// deleted it).
template<typename Form>
Form &lazyForm(QPointer<Form> &form, QWidget *parent)
{
    if (!form)
        form = new Form(parent);
    return *form;
}
