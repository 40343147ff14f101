// standins.cpp - a user's service manager and GNOME's session manager that grant whatever they are asked, on
// the session bus, for the real program in the end-to-end test and the benchmark; until it is killed
#include <QCoreApplication>

#include "tests/desktop/standin.h"

int main(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    const auto manager = ServiceManager(Manager::Accepting);
    const auto gnome = Inhibitor(u"org.gnome.SessionManager"_s);
    return QCoreApplication::exec();
}
