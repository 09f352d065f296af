// The geometry of the dialog templates, as every frontend draws it: controls
// inside their dialog, no control covering another unless it is meant to lie
// over it, and the controls every wizard page shares.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "resources/dialog_templates.h"

namespace ks {
namespace {

// A drop-down list's template height includes the list that drops down; on
// the page it is one line high.
constexpr int kClosedComboHeight = 14;

DialogRect placed(const ControlTemplate& control) {
  DialogRect rect = control.rect;
  if (control.kind == ControlKind::ComboList) rect.cy = kClosedComboHeight;
  return rect;
}

bool overlap(const DialogRect& a, const DialogRect& b) {
  return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

bool contains(const DialogRect& outer, const DialogRect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
         inner.y + inner.cy <= outer.y + outer.cy;
}

bool isPicture(const ControlTemplate& control) {
  return control.kind == ControlKind::BitmapBand || control.kind == ControlKind::Picture;
}

std::string describe(const DialogTemplate& dialog, const ControlTemplate& control) {
  return std::to_string(dialog.id) + ":" + std::to_string(control.id) + " \"" +
         std::string(control.text) + "\"";
}

// Controls that share a place on purpose: the status line and the progress
// bar over the empty component tree, and the two closing texts of which only
// one is shown.
bool meantToShareAPlace(const DialogTemplate& dialog, int a, int b) {
  const std::set<std::pair<int, int>> pairs = {{1068, 1042}, {1068, 1032}, {1047, 1046}};
  return (dialog.id == 1084 || dialog.id == 107) &&
         (pairs.count({a, b}) != 0 || pairs.count({b, a}) != 0);
}

// Texts lie over a bitmap band or picture, and a group box frames what lies
// inside it.
bool mayOverlap(const DialogTemplate& dialog, const ControlTemplate& a, const ControlTemplate& b) {
  if (isPicture(a) || isPicture(b)) return true;
  if (a.kind == ControlKind::GroupBox && contains(a.rect, placed(b))) return true;
  if (b.kind == ControlKind::GroupBox && contains(b.rect, placed(a))) return true;
  return meantToShareAPlace(dialog, a.id, b.id);
}

TEST(DialogLayout, EveryControlLiesInsideItsDialogAndCoversNoOther) {
  for (const DialogTemplate& dialog : allDialogTemplates()) {
    ASSERT_GT(dialog.cx, 0) << dialog.id;
    const DialogRect area{0, 0, dialog.cx, dialog.cy};
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
      const ControlTemplate& a = dialog.controls[i];
      EXPECT_GT(a.rect.cx, 0) << describe(dialog, a);
      EXPECT_GT(a.rect.cy, 0) << describe(dialog, a);
      // The side band is one unit taller than the page it is stretched over.
      if (!isPicture(a)) {
        EXPECT_TRUE(contains(area, placed(a))) << describe(dialog, a);
      }
      for (std::size_t j = i + 1; j < dialog.controls.size(); ++j) {
        const ControlTemplate& b = dialog.controls[j];
        if (overlap(placed(a), placed(b)) && !mayOverlap(dialog, a, b)) {
          ADD_FAILURE() << describe(dialog, a) << " covers " << describe(dialog, b);
        }
      }
    }
  }
}

TEST(DialogLayout, EveryPageCarriesTheSharedControlsOnceEach) {
  for (const DialogTemplate& dialog : allDialogTemplates()) {
    std::set<int> ids;
    for (const ControlTemplate& control : dialog.controls) {
      if (control.id != -1) {
        EXPECT_TRUE(ids.insert(control.id).second) << describe(dialog, control);
      }
    }
    if (dialog.caption != kWizardCaption || dialog.cx != kWizardPageArea.cx) continue;
    EXPECT_TRUE(ids.count(1043)) << dialog.id << " has no title";
    if (dialog.sideBand) {
      EXPECT_TRUE(ids.count(1080)) << dialog.id << " has no side band";
      EXPECT_EQ(dialog.control(1080)->rect.cx, 111);
    } else {
      EXPECT_TRUE(ids.count(1096)) << dialog.id << " has no subtitle";
      const bool pictureHeader = isPicture(dialog.controls.front());
      EXPECT_TRUE(pictureHeader) << dialog.id << " has no header band";
      EXPECT_EQ(dialog.controls.front().rect.cx, 331) << dialog.id;
    }
  }
}

}  // namespace
}  // namespace ks
