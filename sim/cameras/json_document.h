// Reading a camera document's JSON text while keeping track of where in it each error lies.
#pragma once

#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

namespace qvxsim {

// The document in `text`. Throws std::invalid_argument "camera description: PATH: line L, column C: REASON"
// for text that is no JSON (a number too large for a double among it), "PATH: duplicate key" for a key
// given twice in one object, and "PATH: ..." when the document holds more than `maxValues` values (every
// number, text, list and object counts; 0: no limit).
nlohmann::json readJsonDocument(const std::string& text, std::size_t maxValues = 0);

} // namespace qvxsim
