#include "store/huffman_code.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <utility>

namespace vpk {

namespace {

// Depth of every leaf of a Huffman tree over the used symbols; 0 for unused ones.
std::vector<int> LeafDepths(std::span<const std::uint32_t> frequencies) {
    const std::size_t n = frequencies.size();
    std::vector<int> parent(2 * n, -1);
    using Node = std::pair<std::uint64_t, int>;  // weight, node id
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
    for (std::size_t i = 0; i < n; ++i)
        if (frequencies[i] > 0) queue.push({frequencies[i], static_cast<int>(i)});
    std::vector<int> depth(n, 0);
    if (queue.size() < 2) return depth;
    int next = static_cast<int>(n);
    while (queue.size() > 1) {
        const Node a = queue.top();
        queue.pop();
        const Node b = queue.top();
        queue.pop();
        parent[a.second] = next;
        parent[b.second] = next;
        queue.push({a.first + b.first, next});
        ++next;
    }
    // Internal nodes are numbered after their children, so one pass from the root down gives depths.
    std::vector<int> nodeDepth(next, 0);
    for (int node = next - 2; node >= 0; --node)
        if (parent[node] >= 0) nodeDepth[node] = nodeDepth[parent[node]] + 1;
    for (std::size_t i = 0; i < n; ++i)
        if (frequencies[i] > 0) depth[i] = nodeDepth[i];
    return depth;
}

}  // namespace

std::vector<std::uint8_t> HuffmanCodeLengths(std::span<const std::uint32_t> frequencies, int maxLength) {
    std::vector<std::uint32_t> weights(frequencies.begin(), frequencies.end());
    for (;;) {
        const std::vector<int> depth = LeafDepths(weights);
        if (*std::max_element(depth.begin(), depth.end()) <= maxLength)
            return std::vector<std::uint8_t>(depth.begin(), depth.end());
        // Halving (but keeping every used symbol at least 1) evens the weights out until the tree is
        // shallow enough; a flat tree over the 510 symbols of the largest alphabet has depth 9.
        for (std::uint32_t& w : weights)
            if (w > 0) w = std::max<std::uint32_t>(1, w / 2);
    }
}

std::vector<std::uint16_t> CanonicalCodes(std::span<const std::uint8_t> lengths) {
    std::vector<std::uint32_t> count(33, 0);
    for (std::uint8_t length : lengths) ++count[length];
    count[0] = 0;
    std::vector<std::uint32_t> next(33, 0);
    for (int length = 1; length < 32; ++length) next[length + 1] = (next[length] + count[length]) << 1;
    std::vector<std::uint16_t> codes(lengths.size(), 0);
    for (std::size_t i = 0; i < lengths.size(); ++i)
        if (lengths[i] > 0) codes[i] = static_cast<std::uint16_t>(next[lengths[i]]++);
    return codes;
}

}  // namespace vpk
