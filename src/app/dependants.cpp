#include "app/dependants.h"

#include "platform/text.h"
#include "ui/control_ids.h"

namespace albumora {
namespace {

// In this order: the cancel button first, then the choices the program does not offer.
constexpr int kFixedHidden[] = {ctl::kCancel,
                                ctl::kShopModule,
                                ctl::kOnlySmall,
                                ctl::kOnlyBig,
                                ctl::kNoWebPages,
                                ctl::kPictureFrame,
                                ctl::kOnlySmallFrame,
                                ctl::kPictureFrameBox,
                                ctl::kPictureFrameTemplate,
                                ctl::kChoosePictureFrameTemplate,
                                ctl::kBigTemplateMenu,
                                ctl::kSmallTemplateMenu};
constexpr int kFixedDisabled[] = {ctl::kPhp, ctl::kSlideShow, ctl::kSlideShowSeconds,
                                  ctl::kSlideShowLabel};
constexpr int kMetaTexts[] = {ctl::kMetaDescription, ctl::kMetaTitle, ctl::kMetaAuthor,
                              ctl::kMetaPublisher};

bool IsOn(const Controls& controls, int control) { return controls.GetControlState(control) != 0; }

void ShowQualityPercent(Controls& controls, int slider, int label) {
  controls.SetControlText(label, Decimal(controls.GetControlState(slider) * 10) + "%");
}

// Typing into a spin's field raises an event of the spin, so the field is set back to the value.
void ShowSpinValue(Controls& controls, int spin) {
  controls.SetControlText(spin, Decimal(controls.GetControlState(spin)));
}

}  // namespace

void UpdateHtmlPhpDependants(Controls& controls) {
  const bool html = IsOn(controls, ctl::kHtml);
  controls.DisableControl(ctl::kOriginalHomeServer, html);
  controls.HideControl(ctl::kShopModule, html);
}

void ApplyFixedUiRestrictions(Controls& controls) {
  for (const int control : kFixedHidden) controls.HideControl(control, true);
  for (const int control : kFixedDisabled) controls.DisableControl(control, true);
}

void UpdateMetaTagDependants(Controls& controls) {
  const bool off = !IsOn(controls, ctl::kMetaTags);
  for (const int control : kMetaTexts) controls.DisableControl(control, off);
}

void UpdateCssDependants(Controls& controls) {
  const bool off = !IsOn(controls, ctl::kExternalCss);
  controls.DisableControl(ctl::kCssFile, off);
  controls.DisableControl(ctl::kChooseCssFile, off);
}

void UpdateWebalbumDependants(Controls& controls) {
  const bool off = !IsOn(controls, ctl::kWebalbum);
  controls.DisableControl(ctl::kControlSymbolFolder, off);
  controls.DisableControl(ctl::kChooseControlSymbolFolder, off);
}

bool RunControlRule(Controls& controls, int control) {
  switch (control) {
    case ctl::kSmallQuality:
      ShowQualityPercent(controls, ctl::kSmallQuality, ctl::kSmallQualityLabel);
      return true;
    case ctl::kBigQuality:
      ShowQualityPercent(controls, ctl::kBigQuality, ctl::kBigQualityLabel);
      return true;
    case ctl::kSmallPixels:
    case ctl::kBigPixels:
      ShowSpinValue(controls, control);
      return true;
    case ctl::kMetaTags:
      UpdateMetaTagDependants(controls);
      return true;
    case ctl::kHtml:
    case ctl::kPhp:
      UpdateHtmlPhpDependants(controls);
      return true;
    case ctl::kWebalbum:
      UpdateWebalbumDependants(controls);
      return true;
    case ctl::kExternalCss:
      UpdateCssDependants(controls);
      return true;
    // The two transitions exclude each other: every event of one clears the other, whatever
    // its own new state is.
    case ctl::kRevealTransition:
      controls.SetControlState(ctl::kBlendTransition, 0);
      return true;
    case ctl::kBlendTransition:
      controls.SetControlState(ctl::kRevealTransition, 0);
      return true;
    default:
      return false;
  }
}

}  // namespace albumora
