#pragma once

#include <string>

// The page side of the script bridge and the parsing of its messages, without a browser.
// A page calls a bound function `name(...)`; the function sends the text
// {"id": <sequence>, "method": "<name>", "params": [...]} through `window.nativeBridge.invoke`
// and returns a promise that the native side settles with `resolveScript`.
namespace WebViewBridge {

// The value of a member of the outermost object or array of a JSON text: by key, or by
// position when the key is empty. String values come unescaped. Empty when the member is
// missing, when the text is not well-formed (bytes, escapes, early end), or when a string
// value holds a \u escape.
std::string extract(const std::string &json, const std::string &key, int index = 0);

// A bound function's name must be a plain script identifier: it is written into the page.
bool isBindableName(const std::string &name);

// Defines window[name] in the page (see above). Calls are numbered from 1 per document.
std::string bindScript(const std::string &name);

// Settles the page's promise of call `sequence`: resolved with `result` for status 0,
// rejected with it otherwise. `result` is script text, so it must be a JSON value.
std::string resolveScript(const std::string &sequence, int status, const std::string &result);

// A sequence id as the page sends it: decimal digits only.
bool isSequenceId(const std::string &sequence);

} // namespace WebViewBridge
