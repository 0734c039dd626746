// Built as part of one layer, this includes a header of a layer that must stay out of its sight.
#include ORVEK_PROBE_HEADER
