// forms.h - the program's windows, one program-wide instance of each: load, show, unload, and ending the program
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace forms {

// A window of the program. Subclasses build their controls in the constructor (the stored layout)
// and put their load handler in Load().
class Form : public QWidget {
    Q_OBJECT
public:
    Form(const QString& title, int clientWidthTwips, int clientHeightTwips);
    ~Form() override;

    virtual void Load() {}

    // Centred the first time it is shown, when the frames of windows already on screen are known:
    // over the window active then, or on the screen.
    void CentreWhenShown(bool overActiveWindow) { centre_ = overActiveWindow ? Centre::OverActive : Centre::OnScreen; }
    // Makes it visible and brings it to the front; returns at once.
    void ShowLoaded();
    // Destroys the window and what the user entered in it; the next load starts afresh.
    void Unload();
    bool Unloaded() const { return unloaded_; }

protected:
    // Closing through the title bar unloads the window.
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class Centre { No, OverActive, OnScreen } centre_ = Centre::No;
    bool unloaded_ = false;
};

// The program-wide instance of one window, created from its stored layout (and its load handler run) on
// first use and again after each unload.
template <class T> class FormInstance {
public:
    // The loaded instance, or nullptr.
    T* Find() const { return form_ && !form_->Unloaded() ? form_.data() : nullptr; }
    T& Load() {
        if (T* loaded = Find())
            return *loaded;
        form_ = new T;
        form_->Load();
        return *form_;
    }
    // Loads if needed, makes visible and brings to the front; returns at once.
    T& Show() {
        T& form = Load();
        form.ShowLoaded();
        return form;
    }

private:
    QPointer<T> form_;
};

// Unloads every window and leaves the event loop; nothing of the program runs after.
void EndProgram();
bool ProgramEnded();
// Forgets every window and the ended state; for tests that start the program again in one process.
void ResetForms();

} // namespace forms
