#pragma once
#include <string>
#include <vector>

struct CBloomOptions;

// Where the files written beside the images go: each input's replaced-pixel
// mask (--mask PATH for the one input, or in the folder of --mask-dir named
// after the input: "frame.fit" gives "frame.fit.mask.fits") and the report.
// Refuses any plan in which one of them would replace an input, an output,
// another of them, or a folder.
class CSidecarPlan {
public:
    // outputs: one per input, as COutputPlan made them. False with m_error
    // set (a usage problem).
    bool Make(const CBloomOptions& options, const std::vector<std::string>& outputs);

    std::vector<std::string> m_masks;  // one per input; empty when no mask is asked for
    std::string m_error;
};
