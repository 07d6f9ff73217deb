#pragma once
// The order in which the platform's tree view places items inserted with TVI_SORT, for putting
// a whole listing in that order at once: sorted insertion compares with every sibling already
// there, which makes a listing of n names cost n * n / 2 comparisons.
#include <string>
#include <vector>

// Sorts the names into the order that inserting them one by one, in their present order, with
// TVI_SORT would give. The control compares item texts with lstrcmpW on the wide text and puts
// a new item after every sibling that does not compare greater, so a stable sort with the same
// comparison yields the same order.
void SortLikeTreeView(std::vector<std::wstring>& names);
