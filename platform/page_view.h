#pragma once
// A wizard page or dialog as its controller sees it: controls addressed by the
// control ids of the dialog templates. The view only draws and reports.

#include <string>

namespace ks {

class PageView {
 public:
  virtual ~PageView() = default;
  virtual void setText(int controlId, const std::string& text) = 0;
  virtual std::string text(int controlId) = 0;
  virtual void enable(int controlId, bool enabled) = 0;
  virtual void show(int controlId, bool visible) = 0;
  virtual void check(int controlId, bool checked) = 0;
  virtual bool isChecked(int controlId) = 0;
  // Progress bars.
  virtual void setProgressRange(int controlId, int low, int high) = 0;
  virtual void setProgressPosition(int controlId, int position) = 0;
};

}  // namespace ks
