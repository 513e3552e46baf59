// SPDX-License-Identifier: GPL-3.0-or-later
// The share link and the address bar, which carry the design in the command's long option
// names.
import { $ } from "./dom.js";

export function updateShareLink(options) {
  const query = new URLSearchParams();
  for (const [name, value] of Object.entries(options || {})) {
    query.set(name, value);
  }
  $("share-link").href = "?" + query.toString().replace(/%2C/g, ",");
}

// The address bar follows the link once typing pauses: the browser takes several milliseconds
// over each change of the address, too long to spend on every keystroke.
export function updateAddress() {
  const href = $("share-link").getAttribute("href");
  if (href && href !== location.search) {
    history.replaceState(null, "", href);
  }
}
