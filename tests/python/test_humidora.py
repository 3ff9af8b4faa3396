"""The Python module against humidora-cli batch --numbers full, frame against batch, Dask on a cluster
of worker processes, and every kind of bad input."""

import io
import math
import os
import random
import subprocess

import numpy as np
import pandas as pd
import pytest

import humidora

CLI = os.environ.get("HUMIDORA_CLI", "humidora-cli")


def batch(csv_text, *arguments):
    """humidora-cli batch on a CSV text; its output as text."""
    done = subprocess.run(
        [CLI, "batch", *arguments], input=csv_text.encode(), capture_output=True, check=True
    )
    return done.stdout.decode()


def hostile_rows(seed, count, humidity_span=(0, 100)):
    """Temperatures, pressures and humidities in and around their limits, with exact limits, their
    neighbours, huge and tiny numbers and non-finite values."""
    rng = random.Random(seed)
    specials = [0.0, -0.0, 100.0, -100.0, 5.0, 1000.0, 1e300, -1e300, 5e-324, math.nan, math.inf, -math.inf]

    def pick(lo, hi):
        r = rng.random()
        if r < 0.05:
            return rng.choice(specials)
        if r < 0.1:
            return math.nextafter(rng.choice([lo, hi]), rng.choice([-math.inf, math.inf]))
        value = rng.uniform(lo - 0.05 * (hi - lo), hi + 0.05 * (hi - lo))
        return round(value, rng.choice([0, 1, 2, 3, 6])) if rng.random() < 0.5 else value

    return [(pick(-100, 100), pick(5, 200), pick(*humidity_span)) for _ in range(count)]


def typed(value):
    """The shortest text of a double as the calculation writes an input into a refusal ("1000", not
    "1000.0"), so that the batch's sentences name the same texts as the module's."""
    text = repr(value)
    return text[:-2] if text.endswith(".0") else text


def csv_of(rows):
    return "T,P,H\n" + "".join(",".join(typed(v) for v in row) + "\n" for row in rows)


# Each route with its units and a span of its humidity parameter in those units.
ROUTES = [
    ("relative_humidity", "pressure", {}, "iapws", "metric", (0, 100)),
    ("humidity_ratio", "pressure", {"humidity_ratio": "(g moisture)/(kg dry air)"}, "hyland-wexler", "metric", (0, 30)),
    ("dew_point", "altitude", {}, "iapws", "british", (-100, 100)),
    ("wet_bulb", "pressure", {"wet_bulb": "K", "temperature": "F"}, "hyland-wexler", "metric", (220, 330)),
    ("absolute_humidity", "pressure", {}, "iapws", "metric", (0, 0.04)),
    ("partial_pressure", "pressure", {"partial_pressure": "Pa"}, "iapws", "british", (0, 4000)),
    ("mole_fraction", "altitude", {"altitude": "ft"}, "hyland-wexler", "metric", (0, 4)),
    ("mass_fraction", "pressure", {}, "iapws", "metric", (0, 3)),
]


def cli_arguments(humidity, ambient, units, method, system):
    arguments = [
        "--temperature-column", "T", f"--{ambient}-column", "P",
        f"--{humidity.replace('_', '-')}-column", "H", "--method", method, "--system", system,
    ]
    for quantity, unit in units.items():
        arguments += [f"--{quantity.replace('_', '-')}-unit", unit]
    return arguments


@pytest.mark.parametrize("humidity,ambient,units,method,system,span", ROUTES)
def test_state_is_what_batch_writes(humidity, ambient, units, method, system, span):
    rows = hostile_rows(len(humidity), 600, span)
    text = batch(csv_of(rows), *cli_arguments(humidity, ambient, units, method, system))
    table = list(io.StringIO(text))
    header = table[0].rstrip("\n").split(",")
    t, p, h = (np.array(column) for column in zip(*rows))
    result = humidora.state(
        t, **{humidity: h, ambient: p}, method=method, system=system, units=units
    )
    import csv

    records = list(csv.reader(table[1:]))
    assert len(records) == len(rows)
    accepted = 0
    for i, record in enumerate(records):
        fields = dict(zip(header, record))
        assert result["status"][i] == fields["status"], i
        accepted += fields["status"] == "ok"
        for name in humidora.QUANTITIES:
            column = next(c for c in header if c.startswith(name + " ["))
            shown = fields[column]
            value = result[name][i]
            if fields["status"] != "ok" or shown in ("< min", "Out of Range"):
                assert math.isnan(value), (i, name)
            else:
                # The same double: its shortest text reads back to the batch's.
                assert float(shown) == value and repr(float(shown)) == repr(float(value)), (i, name, shown)
    assert accepted >= 30


def test_broadcasting_keeps_shape_and_order_and_refuses_elements_without_raising():
    t = np.linspace(-20, 40, 12).reshape(3, 4)
    result = humidora.state(t, relative_humidity=np.array([10.0, 50.0, 90.0, 120.0]), pressure=101.325)
    assert result["dew_point"].shape == (3, 4) and result["dew_point"].dtype == np.float64
    assert (result["status"][:, 3] == "Relative Humidity 120 % is above its maximum of 100 %").all()
    assert np.isnan(result["enthalpy"][:, 3]).all()
    single = humidora.state(float(t[1, 2]), relative_humidity=90.0)
    assert single["enthalpy"] == result["enthalpy"][1, 2]
    dry = humidora.state(25, relative_humidity=0)
    assert math.isnan(dry["dew_point"]) and dry["status"] == "ok"
    refused = humidora.state(math.nan, relative_humidity=50)
    assert refused["status"].item().startswith("Ambient Temperature")


def test_a_large_array_on_all_cores_is_the_element_by_element_result():
    rng = np.random.default_rng(7)
    t = rng.uniform(-30, 50, 200_000)
    rh = rng.uniform(-5, 105, 200_000)
    whole = humidora.state(t, relative_humidity=rh)
    for i in rng.integers(0, 200_000, 50):
        one = humidora.state(t[i], relative_humidity=rh[i])
        assert one["status"] == whole["status"][i]
        for name in humidora.QUANTITIES:
            assert np.array_equal(one[name], whole[name][i], equal_nan=True)


def test_frame_is_batch_byte_for_byte_after_writing_csv():
    rows = hostile_rows(11, 3000)
    df = pd.DataFrame(rows, columns=["T", "P", "H"], index=pd.RangeIndex(100, 3100))
    text = batch(
        csv_of(rows), "--temperature-column", "T", "--pressure-column", "P", "--dew-point-column", "H",
        "--columns", "dew_point:F,wet_bulb,enthalpy,altitude:ft,relative_humidity",
    )
    frame = humidora.frame(
        df, temperature="T", dew_point="H", pressure="P",
        columns=["dew_point:F", "wet_bulb", "enthalpy", "altitude:ft", "relative_humidity"],
    )
    assert list(frame.index) == list(df.index)
    written = pd.read_csv(
        io.StringIO(text), float_precision="round_trip", na_values=["", "< min", "Out of Range"],
        keep_default_na=False, dtype={"status": str},
    )[list(frame.columns)]
    for column in frame.columns[:-1]:
        written[column] = written[column].astype(np.float64)
    written.index = df.index
    assert frame.to_csv() == written.to_csv()


def test_dask_on_a_local_cluster_of_two_worker_processes():
    dd = pytest.importorskip("dask.dataframe")
    distributed = pytest.importorskip("distributed")
    import humidora.dask

    rng = np.random.default_rng(3)
    n = 100_000
    df = pd.DataFrame({"T": rng.uniform(-40, 60, n), "RH": rng.uniform(-1, 101, n), "P": rng.uniform(60, 110, n)})
    expected = humidora.frame(df, pressure="P")
    ddf = dd.from_pandas(df, npartitions=8)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster:
        with distributed.Client(cluster):
            got = humidora.dask.states(ddf, pressure="P").compute()
    pd.testing.assert_frame_equal(got, expected)


@pytest.mark.parametrize(
    "call,error,named",
    [
        (lambda: humidora.state("25", relative_humidity=50), TypeError, "temperature"),
        (lambda: humidora.state(25, relative_humidity=[["a"]]), TypeError, "relative_humidity"),
        (lambda: humidora.state(25, relative_humidity=True), TypeError, "relative_humidity"),
        (lambda: humidora.state(25, relative_humidity=1j), TypeError, "relative_humidity"),
        (lambda: humidora.state(25, relative_humidity=[[1, 2], [3]]), TypeError, "relative_humidity"),
        (lambda: humidora.state([1, 2, 3], relative_humidity=[1, 2]), ValueError, "temperature"),
        (lambda: humidora.state(25, relative_humidity=50, dew_point=10), ValueError, "humidity parameter"),
        (lambda: humidora.state(25), ValueError, "humidity parameter"),
        (lambda: humidora.state(25, relative_humidity=50, pressure=100, altitude=0), ValueError, "altitude"),
        (lambda: humidora.state(25, relative_humidity=50, units={"temperature": "Celsius"}), ValueError, "units"),
        (lambda: humidora.state(25, relative_humidity=50, units={"colour": "C"}), ValueError, "units"),
        (lambda: humidora.state(25, relative_humidity=50, units=["C"]), TypeError, "units"),
        (lambda: humidora.state(25, relative_humidity=50, method="magnus"), ValueError, "method"),
        (lambda: humidora.state(25, relative_humidity=50, system="imperial"), ValueError, "system"),
        (lambda: humidora.saturation_pressure(25, pressure_unit="bar"), ValueError, "pressure_unit"),
        (lambda: humidora.convert(1, "Pressure", "kPa", "m"), ValueError, "to_unit"),
        (lambda: humidora.convert(1, "Mass", "kg", "g"), ValueError, "quantity"),
        (lambda: humidora.convert(1, "Pressure", "inHg", 2), TypeError, "to_unit"),
        (lambda: humidora.convert(1, "Pressure", "g/kg", "Pa"), ValueError, "from_unit"),
        (lambda: humidora.saturation_pressure(25, pressure_unit=None), TypeError, "pressure_unit"),
        (lambda: humidora.state(25, relative_humidity=50, units={"pressure": "g/kg"}), ValueError, "inHg"),
        (lambda: humidora.frame([1, 2]), TypeError, "df"),
        (lambda: humidora.frame(pd.DataFrame({"T": [1.0]})), ValueError, "RH"),
        (lambda: humidora.frame(pd.DataFrame({"T": ["x"], "RH": [1.0]})), TypeError, "temperature"),
    ],
)
def test_bad_input_raises_naming_the_argument(call, error, named):
    with pytest.raises(error, match=named):
        call()


def test_saturation_and_conversion():
    ps = humidora.saturation_pressure([0.01, 100.0, -101.0], pressure_unit="Pa")
    assert abs(ps[0] - 611.657) < 0.01 and abs(ps[1] - 101418) < 5 and math.isnan(ps[2])
    back = humidora.saturation_temperature(ps[:2], pressure_unit="Pa")
    assert np.allclose(back, [0.01, 100.0], atol=1e-6)
    hw = humidora.saturation_pressure(20.0, method="hyland-wexler")
    assert abs(hw - 2.339) < 0.01
    assert humidora.convert(1.0, "Pressure", "PSI", "Pa") == 6894.757
    assert humidora.convert([0.0], "Temperature", "C", "K")[0] == 273.15


SHORT_KEYS = [
    # (a call on a unit key, the short key the command line takes, the full key it stands for)
    (lambda k: humidora.convert([1.0, 29.92, -3.5], "Pressure", k, "Pa"), "inHg", "in Hg"),
    (lambda k: humidora.convert([1.0, 14.7], "Pressure", "kPa", k), "psi", "PSI"),
    (lambda k: humidora.state([20.0, 30.0], relative_humidity=[40.0, 90.0], units={"humidity_ratio": k})[
        "humidity_ratio"], "g/kg", "(g moisture)/(kg dry air)"),
    (lambda k: humidora.state(75.0, wet_bulb=60.0, system="british", units={"humidity_ratio": k})[
        "humidity_ratio"], "gr/lb", "(gr moisture)/(lb dry air)"),
    (lambda k: humidora.state(25.0, dew_point=10.0, pressure=29.92, units={"pressure": k})["enthalpy"],
     "inHg", "in Hg"),
    (lambda k: humidora.saturation_pressure([5.0, 60.0], pressure_unit=k), "inHg", "in Hg"),
    (lambda k: humidora.saturation_temperature([0.5, 2.0], pressure_unit=k), "inHg", "in Hg"),
    (lambda k: humidora.heat({"temperature": 20, "relative_humidity": 50}, to_temperature=30, pressure=29.92,
                             pressure_unit=k)["result"]["W"], "inHg", "in Hg"),
]


@pytest.mark.parametrize("call,short,full", SHORT_KEYS)
def test_short_unit_keys_stand_for_their_full_keys(call, short, full):
    by_short, by_full = np.asarray(call(short)), np.asarray(call(full))
    assert np.isfinite(by_full).all()
    assert np.array_equal(by_short, by_full)


def test_short_pressure_key_converts_by_the_inch_of_mercury():
    assert humidora.convert(1.0, "Pressure", "inHg", "Pa") == 3386.389
    assert humidora.convert(3386.389, "Pressure", "Pa", "inHg") == 1.0


PROCESSES = [
    # (function, keyword arguments, humidora-cli process arguments)
    (humidora.mix,
     dict(points=[{"name": "OA", "flow": 2, "temperature": 32, "dew_point": 22},
                  {"name": "RA", "flow": 6, "temperature": 24, "relative_humidity": 50},
                  {"flow": 1, "temperature": 40, "wet_bulb": 30}], name="MA"),
     ["mix", "--point", "name=OA,flow=2,temperature=32,dew-point=22",
      "--point", "name=RA,flow=6,temperature=24,relative-humidity=50",
      "--point", "flow=1,temperature=40,wet-bulb=30", "--name", "MA"]),
    (humidora.heat, dict(point={"temperature": 10, "relative_humidity": 80, "flow": 3}, to_temperature=35,
                         system="british", altitude=1500),
     ["heat", "--point", "temperature=10,relative-humidity=80,flow=3", "--to-temperature", "35",
      "--system", "british", "--altitude", "1500"]),
    (humidora.heat, dict(point={"temperature": 30, "relative_humidity": 80}, to_temperature=5),
     ["heat", "--point", "temperature=30,relative-humidity=80", "--to-temperature", "5"]),
    (humidora.coil, dict(point={"name": "RA", "flow": 5, "temperature": 30, "relative_humidity": 50}, adp=10,
                         bypass_factor=0.15, name="SA", method="hyland-wexler"),
     ["coil", "--point", "name=RA,flow=5,temperature=30,relative-humidity=50", "--adp", "10",
      "--bypass-factor", "0.15", "--name", "SA", "--method", "hyland-wexler"]),
    (humidora.coil, dict(point={"flow": 2000, "temperature": 28, "humidity_ratio": 0.012},
                         leaving_temperature=14, leaving_relative_humidity=90, flow_unit="L/s", pressure=95,
                         pressure_unit="kPa"),
     ["coil", "--point", "flow=2000,temperature=28,humidity-ratio=0.012", "--leaving-temperature", "14",
      "--leaving-relative-humidity", "90", "--flow-unit", "L/s", "--pressure", "95", "--pressure-unit", "kPa"]),
    (humidora.evaporative, dict(point={"flow": 1, "temperature": 38, "relative_humidity": 15}, effectiveness=0.85),
     ["evaporative", "--point", "flow=1,temperature=38,relative-humidity=15", "--effectiveness", "0.85"]),
    (humidora.evaporative, dict(point={"temperature": 38, "relative_humidity": 15}, to_relative_humidity=70),
     ["evaporative", "--point", "temperature=38,relative-humidity=15", "--to-relative-humidity", "70"]),
    (humidora.steam, dict(point={"flow": 1, "temperature": 21, "relative_humidity": 20}, to_relative_humidity=45,
                          steam_temperature=110),
     ["steam", "--point", "flow=1,temperature=21,relative-humidity=20", "--to-relative-humidity", "45",
      "--steam-temperature", "110"]),
    (humidora.steam, dict(point={"temperature": 21, "relative_humidity": 20}, to_humidity_ratio=0.008),
     ["steam", "--point", "temperature=21,relative-humidity=20", "--to-humidity-ratio", "0.008"]),
    (humidora.supply, dict(room={"temperature": 24, "relative_humidity": 50}, sensible_load=30, latent_load=10,
                           supply_temperature=13),
     ["supply", "--point", "temperature=24,relative-humidity=50", "--sensible-load", "30", "--latent-load", "10",
      "--supply-temperature", "13"]),
    (humidora.supply, dict(room={"temperature": 24, "relative_humidity": 50}, total_load=40,
                           sensible_heat_ratio=0.75, supply_flow=2),
     ["supply", "--point", "temperature=24,relative-humidity=50", "--total-load", "40", "--sensible-heat-ratio",
      "0.75", "--supply-flow", "2"]),
    (humidora.recovery, dict(outdoor={"flow": 2, "temperature": -5, "humidity_ratio": 0.002},
                             exhaust={"flow": 1.8, "temperature": 22, "humidity_ratio": 0.007},
                             sensible_effectiveness=0.65, latent_effectiveness=0.5),
     ["recovery", "--point", "flow=2,temperature=-5,humidity-ratio=0.002", "--point",
      "flow=1.8,temperature=22,humidity-ratio=0.007", "--sensible-effectiveness", "0.65",
      "--latent-effectiveness", "0.5"]),
]


@pytest.mark.parametrize("function,kwargs,arguments", PROCESSES)
def test_processes_answer_what_process_json_writes(function, kwargs, arguments):
    import json

    done = subprocess.run([CLI, "process", *arguments, "--json"], capture_output=True)
    assert done.returncode in (0, 1)
    expected = json.loads(done.stdout)
    assert function(**kwargs) == expected


@pytest.mark.parametrize(
    "call,error,named",
    [
        (lambda: humidora.mix([{"temperature": 20}]), ValueError, "points"),
        (lambda: humidora.mix({"temperature": 20}), TypeError, "points"),
        (lambda: humidora.heat({"temperature": "20"}, to_temperature=30), TypeError, "temperature"),
        (lambda: humidora.heat({"colour": 1}, to_temperature=30), ValueError, "colour"),
        (lambda: humidora.coil({"temperature": 30}, adp=10), TypeError, "bypass-factor"),
        (lambda: humidora.heat({"temperature": 20}, to_temperature=30, flow_unit="gal/min"), ValueError, "flow_unit"),
        (lambda: humidora.heat({"temperature": 20}, to_temperature=30, pressure=100, altitude=0), ValueError, "altitude"),
    ],
)
def test_bad_process_input_raises_naming_the_argument(call, error, named):
    with pytest.raises(error, match=named):
        call()
