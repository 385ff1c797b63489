#include "chain_writer.h"

void chain_writer::close_to(size_t depth) {
    while (open_.size() > depth) {
        out_ += "#endif\n";
        open_.pop_back();
    }
}

void chain_writer::write(const original_file& file, const condition_stack& where,
                         const std::string& text, bool apart) {
    // The chains already open that this block shares, with the same branch.
    size_t same = 0;
    while (same < open_.size() && same < where.size() && open_[same].file == &file &&
           open_[same].place == where[same])
        ++same;
    // A later branch of the next open chain continues it.
    if (same < open_.size() && same < where.size() && open_[same].file == &file &&
        open_[same].place.chain == where[same].chain &&
        open_[same].place.branch < where[same].branch) {
        close_to(same + 1);
        if (apart && !out_.empty()) out_ += "\n";
        const condition_chain& chain = file.chain(where[same].chain);
        for (int b = open_[same].place.branch + 1; b <= where[same].branch; ++b)
            out_ += chain.branches[b] + "\n";
        open_[same].place.branch = where[same].branch;
        ++same;
    } else {
        close_to(same);
        if (apart && !out_.empty()) out_ += "\n";
    }
    for (size_t k = same; k < where.size(); ++k) {
        const condition_chain& chain = file.chain(where[k].chain);
        for (int b = 0; b <= where[k].branch; ++b)
            out_ += chain.branches[b] + "\n";
        open_.push_back({&file, where[k]});
    }
    out_ += text;
}

void chain_writer::write_plain(const std::string& text) {
    close_to(0);
    out_ += text;
}

std::string chain_writer::finish() {
    close_to(0);
    std::string result;
    result.swap(out_);
    return result;
}
