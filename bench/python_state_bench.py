"""humidora.state on numpy arrays of logger states (dry bulb, relative humidity, pressure), all cores:
the best of three runs per element, and the peak resident memory after runs of 10^5 and then N elements
(default 10^6). Prints one JSON object; scripts/bench divides its time by PsychroLib's per state."""

import json
import resource
import sys
import time

import numpy as np

import humidora


def arrays(n):
    rng = np.random.default_rng(4096)
    return rng.uniform(-20, 50, n), rng.uniform(5, 95, n), rng.uniform(80, 105, n)


def best_ns_per_element(n):
    """The best wall time of three runs per element, and the processor time of all threads of that run
    per element (which a machine busy with other work does not inflate)."""
    t, rh, p = arrays(n)
    best, best_cpu = float("inf"), float("inf")
    result = None
    for _ in range(3):
        result = None  # the last run's results are freed first: one set of results at a time
        start, start_cpu = time.perf_counter(), time.process_time()
        result = humidora.state(t, relative_humidity=rh, pressure=p)
        wall, cpu = time.perf_counter() - start, time.process_time() - start_cpu
        if wall < best:
            best, best_cpu = wall, cpu
    assert (result["status"] == "ok").all()
    return best * 1e9 / n, best_cpu * 1e9 / n


def peak_rss_mb():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


n = int(sys.argv[1]) if len(sys.argv) > 1 else 1_000_000
best_ns_per_element(100_000)
small = peak_rss_mb()
ns, cpu_ns = best_ns_per_element(n)
large = peak_rss_mb()
# What the inputs and the results themselves hold: three float64 arrays in, sixteen and the status array
# of object pointers out.
results_mb = n * (3 + 17) * 8 / 2**20
print(json.dumps({"elements": n, "ns_per_element": ns, "cpu_ns_per_element": cpu_ns, "peak_rss_MB_small": small, "peak_rss_MB": large,
                  "results_MB": results_mb}))
