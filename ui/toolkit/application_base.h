#pragma once

#include <QApplication>

class QWidget;

namespace quillet {

// The application object: the program's one instance initialisation decides everything.
//   int main(int argc, char** argv) { Application app(argc, argv); return app.run(); }
class ApplicationBase : public QApplication {
  public:
    ApplicationBase(int& argc, char** argv);

    // Runs initInstance; when it returns false the application ends at once without a
    // message loop of its own, else the loop runs until the application quits.
    int run();

  protected:
    virtual bool initInstance() = 0;
    // Records the main window, which then owns dialogs constructed without an owner.
    static void setMainWindow(QWidget* window);
};

}  // namespace quillet
