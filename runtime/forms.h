// forms.h - program-wide windows reached by name: load, show, unload, and ending the program
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

namespace runtime {

// A window of the program. Subclasses build their controls in the constructor (the stored layout)
// and put their load handler in Load().
class Form : public QWidget {
    Q_OBJECT
public:
    Form(const QString& name, const QString& title, int clientWidthTwips, int clientHeightTwips);

    virtual void Load() {}

    // Centred the first time it is shown, when the frames of windows already on screen are known:
    // over the window active then, or on the screen.
    void CentreWhenShown(bool overActiveWindow) { centre_ = overActiveWindow ? Centre::OverActive : Centre::OnScreen; }
    void PlaceBeforeShowing();

protected:
    // Closing through the title bar unloads the window.
    void closeEvent(QCloseEvent* event) override;

private:
    QString name_;
    enum class Centre { No, OverActive, OnScreen } centre_ = Centre::No;
};

using FormFactory = std::function<Form*()>;

void RegisterForm(const QString& name, FormFactory factory);

// The loaded instance, or nullptr.
Form* FindForm(const QString& name);
// The instance, created from its stored layout (and its load handler run) if it is not loaded.
Form* LoadForm(const QString& name);
// Loads if needed, makes visible and brings to the front; returns at once.
Form* ShowForm(const QString& name);
// Destroys the window and what the user entered in it; the next load starts afresh.
void UnloadForm(const QString& name);

// Unloads every window and leaves the event loop; nothing of the program runs after.
void EndProgram();
bool ProgramEnded();
// Forgets every window and the ended state; for tests that start the program again in one process.
void ResetForms();

} // namespace runtime
