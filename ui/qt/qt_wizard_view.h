#pragma once
// The wizard window of the Qt frontend: the pages in a stack, Back, Next,
// Finish and Cancel below them. Every button, click and the window's close
// box is handed to the WizardFrame; the window decides nothing.

#include <QSize>
#include <functional>
#include <map>
#include <memory>

#include "platform/wizard_view.h"
#include "ui/qt/qt_page_view.h"

class QDialog;
class QPushButton;
class QScrollArea;
class QStackedWidget;

namespace ks {

class WizardFrame;
class QtWizardDialog;

class QtWizardView final : public WizardView {
 public:
  QtWizardView();
  ~QtWizardView() override;
  QtWizardView(const QtWizardView&) = delete;
  QtWizardView& operator=(const QtWizardView&) = delete;

  // The frame that gets the user's actions.
  void attach(WizardFrame& frame) { frame_ = &frame; }
  // Called when the wizard has ended (the frame closed the window).
  void onClosed(std::function<void()> closed) { closed_ = std::move(closed); }
  // Called (queued, as a posted message) for each quit request.
  void onQuitRequest(std::function<void()> quit) { quit_ = std::move(quit); }

  QDialog& window();
  // The page of a template; null when the wizard never turned to it.
  QtPageView* page(int templateId);
  QtPageView* currentPage();
  QPushButton& backButton() { return *back_; }
  QPushButton& nextButton() { return *next_; }
  QPushButton& finishButton() { return *finish_; }
  QPushButton& cancelButton() { return *cancel_; }

  // WizardView
  PageView& createPage(int templateId) override;
  void showPage(int templateId) override;
  void setButtons(unsigned buttons) override;
  WindowRect ownerRect() override;
  WindowRect frameRect() override;
  void moveFrame(int left, int top) override;
  void close() override;
  void postQuitRequest() override;

 private:
  void fitPages();
  void fitWindow();
  void placeOnScreen();

  std::unique_ptr<QtWizardDialog> window_;
  QScrollArea* scroll_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  QWidget* buttonBar_ = nullptr;
  // The size of the largest page, as the templates lay them out.
  QSize largestPage_;
  bool sized_ = false;
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* finish_ = nullptr;
  QPushButton* cancel_ = nullptr;
  std::map<int, QtPageView*> pages_;  // owned by the stack
  WizardFrame* frame_ = nullptr;
  std::function<void()> closed_;
  std::function<void()> quit_;
};

}  // namespace ks
