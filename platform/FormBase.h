#pragma once

#include "platform/Failure.h"

#include <QWidget>

// A window of the console. Each window class has one instance at a time,
// reached through the window registry (Forms): reaching a window that is not
// loaded loads it, hidden, and runs its load handler. The close box unloads
// it; Back, Cancel and OK buttons only hide it.
class FormBase : public QWidget {
    Q_OBJECT
  public:
    explicit FormBase(QWidget* parent = nullptr);
    ~FormBase() override;

    // Load handler: runs once per load, with the program's folder as the current folder.
    virtual void Form_Load() {}
    // Unload handler: runs when the close box unloads the window.
    virtual void Form_Unload() {}
    // The window was minimised, restored or maximised.
    virtual void Form_Resize() {}

    bool isMinimized() const { return windowState() & Qt::WindowMinimized; }
    // The category its handlers' error exits log under: its layer's.
    Layer layer() const { return layer_; }
    // Shows a hidden or minimised window in its normal state.
    void Show();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A fixed single border with a close box (and a minimise button), or none.
    enum class Border { Fixed, FixedWithMinimize, None };
    void setBorder(Border border);
    // Lays the window out at the given client size in twips (15 twips a pixel).
    void setClientTwips(int width, int height);
    void setLayer(Layer category) { layer_ = category; }

  private:
    Layer layer_;
};
