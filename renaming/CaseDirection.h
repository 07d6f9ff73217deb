#pragma once
// The direction of one rename run.
enum class CaseDirection { Lower, Upper };
