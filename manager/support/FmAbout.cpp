#include "manager/support/FmAbout.h"

#include "manager/support/WebPages.h"
#include "resources/manager/Pictures.h"
#include "resources/manager/Texts.h"

namespace krv {

FmAbout::FmAbout(ui::FormToolkit& toolkit, Commons& commons, SystemHelpers& helpers,
                 std::function<void(ui::Form& owner)> showSupport)
    : ui::Form(toolkit, "fmAbout"),
      Image1(addControl("Image1", ui::ControlKind::Image)),
      lblProductName(addControl("lblProductName", ui::ControlKind::Label)),
      lblAbout_1(addControl("lblAbout(1)", ui::ControlKind::Label)),
      lblVersion(addControl("lblVersion", ui::ControlKind::Label)),
      lblAbout_5(addControl("lblAbout(5)", ui::ControlKind::Label)),
      lblSupportURL(addLabel("lblSupportURL", ui::LabelLook::Link)),
      cmdSupport(addControl("cmdSupport", ui::ControlKind::Button)),
      cmdOK(addControl("cmdOK", ui::ControlKind::Button)),
      commons_(commons),
      helpers_(helpers),
      showSupport_(std::move(showSupport)) {
  style = ui::FormStyle::Dialog;
  setClientSize(6360, 3330);
  Image1.move(360, 360, 720, 720);
  Image1.setPicture({nullptr, -1, pictures::kAboutProduct});
  lblProductName.move(1440, 330, 4680, 480);
  lblProductName.setFont({true, false, 16, "Arial"});
  lblAbout_1.move(1440, 1140, 1080, 255);
  lblVersion.move(2580, 1140, 3540, 255);
  lblAbout_5.move(1440, 1500, 1080, 255);
  lblSupportURL.move(2580, 1500, 3540, 255);
  cmdSupport.move(1440, 2760, 1815, 375);
  cmdOK.move(4785, 2760, 1335, 375);
  cmdOK.tabIndex = 0;
  cmdSupport.tabIndex = 1;
  setDefaultButton(&cmdOK);
  setCancelButton(&cmdOK);

  onLoad = [this] {
    const platform::StringTable& strings = commons_.strings();
    setCaption(strings.text(text::AboutTitle));
    lblProductName.setCaption(std::string(kProductName) + "\xE2\x84\xA2");
    lblAbout_1.setCaption(strings.text(text::AboutVersion));
    lblVersion.setCaption(commons_.VersionText());
    lblAbout_5.setCaption(strings.text(text::AboutSupport));
    lblSupportURL.setCaption(web::kSupportShown);
    cmdSupport.setCaption(strings.text(text::SupportInfoButton));
    cmdOK.setCaption(strings.text(text::AboutOK));
    setFocus(cmdOK);
  };
  cmdOK.onClick = [this] { unload(); };
  lblSupportURL.onClick = [this] { helpers_.OpenWebAddress(web::kSupport); };
  // The support dialog, then back to the main window whatever happened there.
  cmdSupport.onClick = [this] {
    if (showSupport_) showSupport_(*this);
    unload();
  };
}

}  // namespace krv
