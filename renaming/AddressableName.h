#pragma once
// Which names a path can spell, so that a run may rename the file: not one with a separator in
// it, nor one holding the stand-in for bytes that are not UTF-8 on a Linux disk (that path
// would name another file or none).
#include <string>

bool Addressable(const std::wstring& name);
