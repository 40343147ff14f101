#include "forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHash>
#include <QPointer>
#include <QThread>

#include <stdexcept>

#include "controls.h"
#include "units.h"

namespace runtime {
namespace {

struct Registry {
    QHash<QString, FormFactory> factories;
    QHash<QString, QPointer<Form>> loaded;
    bool ended = false;
};

Registry& Reg() {
    static Registry registry;
    return registry;
}

void Destroy(Form* form) {
    form->hide();
    // Deferred, because unloading usually happens inside one of the window's own handlers.
    form->deleteLater();
}

} // namespace

Form::Form(const QString& name, const QString& title, int clientWidthTwips, int clientHeightTwips) : name_(name) {
    setWindowTitle(title);
    setFixedSize(Twips(clientWidthTwips), Twips(clientHeightTwips));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    // The black background is set on the window's palette only: unlike a style sheet it does not
    // reach the message boxes opened over it.
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);
}

void Form::PlaceBeforeShowing() {
    if (centre_ != Centre::No && !isVisible())
        CentreOver(this, centre_ == Centre::OverActive ? QApplication::activeWindow() : nullptr);
    centre_ = Centre::No;
}

void Form::closeEvent(QCloseEvent* event) {
    event->accept();
    UnloadForm(name_);
}

void RegisterForm(const QString& name, FormFactory factory) {
    Reg().factories.insert(name, std::move(factory));
}

Form* FindForm(const QString& name) {
    return Reg().loaded.value(name);
}

Form* LoadForm(const QString& name) {
    if (Form* form = FindForm(name))
        return form;
    const auto factory = Reg().factories.find(name);
    if (factory == Reg().factories.end())
        throw std::invalid_argument("no window named " + name.toStdString());
    Form* form = (*factory)();
    Reg().loaded.insert(name, form);
    form->Load();
    return form;
}

Form* ShowForm(const QString& name) {
    Form* form = LoadForm(name);
    form->PlaceBeforeShowing();
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

void UnloadForm(const QString& name) {
    if (Form* form = Reg().loaded.take(name))
        Destroy(form);
}

void EndProgram() {
    Reg().ended = true;
    const auto forms = Reg().loaded;
    Reg().loaded.clear();
    for (const QPointer<Form>& form : forms)
        if (form)
            Destroy(form);
    // Only a running event loop can be left; tests call handlers without one, and an exit asked
    // for then would end the next loop that starts instead.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

bool ProgramEnded() {
    return Reg().ended;
}

void ResetForms() {
    for (const QPointer<Form>& form : std::as_const(Reg().loaded))
        delete form.data();
    Reg().loaded.clear();
    Reg().ended = false;
}

} // namespace runtime
