// Text and identifier helpers of the camera stand-in: UTF-8 to wide, BSTRs, CoTaskMem texts, GUID text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "grabber/dstring.h"
#include "platform/win32.h"

namespace qvxsim {

WideString utf8ToWide(const std::string& text);
// A copy in CoTaskMem memory, as dstringw results are handed out; null when allocation fails.
KapriLib::dstringw toDstringw(const std::string& text);
// A copy from SysAllocString; null when allocation fails.
BSTR toBstr(const std::string& text);
// The same through an out-parameter: E_POINTER without one, E_OUTOFMEMORY when allocation fails.
HRESULT outBstr(const std::string& text, BSTR* out);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", hexadecimal digits in either case.
std::optional<GUID> parseGuid(const std::string& text);
// The same from `size` wide characters, read in place (a VCD path's parts, say).
std::optional<GUID> parseGuid(const OLECHAR* text, std::size_t size);
// The identifiers of a VCD path "{item}:{element}[:{interface}]", read in place: how many there are, or 0
// when the path is null, holds more than three or one that is no identifier.
std::size_t parseVcdPath(const OLECHAR* path, GUID (&parts)[3]);
std::string guidText(const GUID& id);
std::string stripBlanks(const std::string& text);

} // namespace qvxsim
