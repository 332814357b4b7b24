#pragma once
// The site map every language build follows: the fixed page list, the menu
// and the footer links. Everything that writes, marks or checks one of these
// reads it here.

#include "site/strings.h"

namespace mt {

/// The menu items, in menu order.
enum MenuItem : int {
  kNoMenuItem = -1,  // a page that marks no item
  kMenuHome,
  kMenuDownloads,
  kMenuFaq,
  kMenuSupport,
  kMenuForums,
  kMenuDonate,
  kMenuContact,
  kMenuItems
};

/// One menu item: its label and the template whose page it leads to (-1: a
/// target of its own, made from the current strings).
struct MenuEntry {
  int label;
  int template_index;
};

inline constexpr MenuEntry kMenu[kMenuItems] = {
    {HOME, HOME_TEMPLATE},  // the language's home URL, with a trailing "/"
    {DOWNLOADS, DOWNLOADS_TEMPLATE},
    {FAQ, FAQ_TEMPLATE},
    {SUPPORT, -1},  // SUPPORT_URL
    {FORUMS, -1},   // FORUMS_URL
    {DONATE, DONATE_TEMPLATE},
    {CONTACT, CONTACT_TEMPLATE},
};

/// One footer link; the copyright line stands between the first two and the
/// last.
struct FooterEntry {
  int template_index;
  int label;
  bool after_copyright;
};

inline constexpr FooterEntry kFooter[] = {
    {ABOUT_TEMPLATE, ABOUT, false},
    {LANGUAGE_TEMPLATE, LANGUAGE, false},
    {PRIVACY_TEMPLATE, PRIVACY, true},
};

/// One page of the fixed page list of a language build, in build order.
struct PageEntry {
  int template_index;
  int title_index;     // -1: the home page, titled by HOME_TITLE
  MenuItem menu_mark;  // the item marked as current
};

inline constexpr PageEntry kPages[] = {
    {HOME_TEMPLATE, -1, kMenuHome},
    {DOWNLOADS_TEMPLATE, DOWNLOADS, kMenuDownloads},
    {FAQ_TEMPLATE, FAQ, kMenuFaq},
    {CONTACT_TEMPLATE, CONTACT, kMenuContact},
    {ABOUT_TEMPLATE, ABOUT, kNoMenuItem},
    {DONATE_TEMPLATE, DONATE, kMenuDonate},
    {ERROR404_TEMPLATE, ERROR404, kNoMenuItem},
    {LANGUAGE_TEMPLATE, LANGUAGE, kNoMenuItem},
    {DONATED_TEMPLATE, DONATED, kNoMenuItem},
    {CONTACTOK_TEMPLATE, CONTACTOK, kNoMenuItem},
    {CONTACTERROR_TEMPLATE, CONTACTERROR, kNoMenuItem},
    {UPDATE_TEMPLATE, UPDATE, kNoMenuItem},
    {PRIVACY_TEMPLATE, PRIVACY, kNoMenuItem},
    {MAINTENANCE_TEMPLATE, MAINTENANCE, kNoMenuItem},
};

/// Where every page's frame links to the page of `template_index`: "menu",
/// "footer", or nullptr when it does not.
constexpr const char* frame_place(int template_index) {
  for (const MenuEntry& item : kMenu) {
    if (item.template_index == template_index) return "menu";
  }
  for (const FooterEntry& link : kFooter) {
    if (link.template_index == template_index) return "footer";
  }
  return nullptr;
}

}  // namespace mt
