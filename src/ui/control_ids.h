// Control numbers of both windows and the menu item numbers. They are shared by the window, the
// settings file and the generation run.
#ifndef ALBUMORA_UI_CONTROL_IDS_H_
#define ALBUMORA_UI_CONTROL_IDS_H_

namespace albumora::ctl {

// Main window (11..89) and status bar (90).
inline constexpr int kShopModule = 11;
inline constexpr int kSourceFolder = 13;
inline constexpr int kTargetFolder = 14;
inline constexpr int kChooseSourceFolder = 16;
inline constexpr int kChooseTargetFolder = 17;
inline constexpr int kSmallQuality = 24;
inline constexpr int kBigQuality = 25;
inline constexpr int kSmallQualityLabel = 26;
inline constexpr int kBigQualityLabel = 27;
inline constexpr int kSmallPixels = 28;
inline constexpr int kBigPixels = 29;
inline constexpr int kOriginalDownload = 32;
inline constexpr int kOriginalHomeServer = 33;
inline constexpr int kMetaTags = 34;
inline constexpr int kOnlySmallFrame = 35;  // the box round 36..38
inline constexpr int kOnlySmall = 36;
inline constexpr int kOnlyBig = 37;
inline constexpr int kNoWebPages = 38;
inline constexpr int kHtmlPhpContainer = 40;
inline constexpr int kHtml = 41;
inline constexpr int kPhp = 42;
inline constexpr int kSmallTemplate = 44;
inline constexpr int kChooseSmallTemplate = 45;
inline constexpr int kSmallTemplateMenu = 46;  // "V", never shown
inline constexpr int kRowsPerPage = 47;
inline constexpr int kHeading = 51;
inline constexpr int kWindowTitle = 52;
inline constexpr int kBigTemplate = 54;
inline constexpr int kChooseBigTemplate = 55;
inline constexpr int kBigTemplateMenu = 56;  // "V", never shown
inline constexpr int kWebalbum = 57;
inline constexpr int kControlSymbolFolder = 59;
inline constexpr int kChooseControlSymbolFolder = 60;
inline constexpr int kSlideShow = 62;
inline constexpr int kSlideShowSeconds = 63;
inline constexpr int kSlideShowLabel = 64;
// The picture-frame choice, never shown: frame 65, its template field 66 and button 67, check
// box 68.
inline constexpr int kPictureFrameBox = 65;
inline constexpr int kPictureFrameTemplate = 66;
inline constexpr int kChoosePictureFrameTemplate = 67;
inline constexpr int kPictureFrame = 68;
inline constexpr int kCssFile = 70;
inline constexpr int kChooseCssFile = 71;
inline constexpr int kExternalCss = 72;
inline constexpr int kMetaDescription = 75;
inline constexpr int kMetaTitle = 76;
inline constexpr int kMetaAuthor = 77;
inline constexpr int kMetaPublisher = 78;
inline constexpr int kRobots = 79;
inline constexpr int kRevealTransition = 80;
inline constexpr int kBlendTransition = 81;
inline constexpr int kProgressBar = 85;
inline constexpr int kCreateWebsite = 86;
inline constexpr int kCancel = 87;
inline constexpr int kQuit = 88;
inline constexpr int kSettingsPanel = 89;
inline constexpr int kStatusBar = 90;

// Info window (0..8, 10).
inline constexpr int kInfoOk = 6;
inline constexpr int kInfoWebsiteLink = 7;
inline constexpr int kInfoUpdateLink = 8;

}  // namespace albumora::ctl

namespace albumora::menu {

inline constexpr int kCreateWebsite = 1;
inline constexpr int kCreateTableOfContents = 2;
inline constexpr int kViewTableOfContents = 3;
inline constexpr int kQuit = 4;
inline constexpr int kAbout = 5;
inline constexpr int kWebsite = 6;
inline constexpr int kCheckUpdates = 7;
inline constexpr int kHelp = 9;
inline constexpr int kOnlineHelp = 10;

}  // namespace albumora::menu

#endif  // ALBUMORA_UI_CONTROL_IDS_H_
