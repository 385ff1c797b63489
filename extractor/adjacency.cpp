#include "adjacency.h"

void adjacency::build(std::size_t node_count, const std::vector<std::pair<nid, nid>>& pairs) {
    // Counting sort by key, then sort and de-duplicate each row in place.
    std::vector<std::size_t> starts(node_count + 1, 0);
    for (const auto& p : pairs)
        ++starts[p.first + 1];
    for (std::size_t i = 1; i <= node_count; ++i)
        starts[i] += starts[i - 1];
    std::vector<nid> values(pairs.size());
    std::vector<std::size_t> fill(starts.begin(), starts.end() - 1);
    for (const auto& p : pairs)
        values[fill[p.first]++] = p.second;

    starts_.assign(node_count + 1, 0);
    values_.clear();
    values_.reserve(values.size());
    for (std::size_t n = 0; n < node_count; ++n) {
        auto b = values.begin() + static_cast<std::ptrdiff_t>(starts[n]);
        auto e = values.begin() + static_cast<std::ptrdiff_t>(starts[n + 1]);
        std::sort(b, e);
        values_.insert(values_.end(), b, std::unique(b, e));
        starts_[n + 1] = values_.size();
    }
}
