#include "forms/forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QThread>

#include "forms/controls.h"
#include "forms/units.h"

namespace forms {
namespace {

struct Forms {
    QList<Form*> loaded;
    bool ended = false;
};

Forms& Program() {
    static Forms forms;
    return forms;
}

} // namespace

Form::Form(const QString& title, int clientWidthTwips, int clientHeightTwips) {
    setWindowTitle(title);
    setFixedSize(Twips(clientWidthTwips), Twips(clientHeightTwips));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    // The black background is set on the window's palette only: unlike a style sheet it does not
    // reach the message boxes opened over it.
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);
    Program().loaded.append(this);
}

Form::~Form() {
    Program().loaded.removeOne(this);
}

void Form::ShowLoaded() {
    if (centre_ != Centre::No && !isVisible())
        CentreOver(this, centre_ == Centre::OverActive ? QApplication::activeWindow() : nullptr);
    centre_ = Centre::No;
    show();
    raise();
    activateWindow();
}

void Form::Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    Program().loaded.removeOne(this);
    hide();
    // Deferred, because unloading usually happens inside one of the window's own handlers.
    deleteLater();
}

void Form::closeEvent(QCloseEvent* event) {
    event->accept();
    Unload();
}

void Form::changeEvent(QEvent* event) {
    // Tick labels draw over the window's colour, which a new palette would leave them drawing.
    if (event->type() == QEvent::PaletteChange)
        for (TickLabel* label : findChildren<TickLabel*>(Qt::FindDirectChildrenOnly))
            label->GroundChanged();
    QWidget::changeEvent(event);
}

void EndProgram() {
    Program().ended = true;
    for (Form* form : QList<Form*>(Program().loaded))
        form->Unload();
    // Only a running event loop can be left; tests call handlers without one, and an exit asked
    // for then would end the next loop that starts instead.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

bool ProgramEnded() {
    return Program().ended;
}

void ResetForms() {
    while (!Program().loaded.isEmpty())
        delete Program().loaded.constFirst();
    Program().ended = false;
}

} // namespace forms
