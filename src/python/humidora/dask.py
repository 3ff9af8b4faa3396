"""Humidora's states over a Dask DataFrame: the same as ``humidora.frame`` for each partition.

The work is described with ``map_partitions`` and its ``meta``, so the same code runs on the local
scheduler, on a ``distributed`` cluster (a ``LocalCluster`` or a remote scheduler's address) or on any
other Dask deployment. Each worker imports humidora, so it must be installed where the workers run.
"""

import humidora


def states(ddf, **kwargs):
    """``humidora.frame`` over every partition of the Dask DataFrame ``ddf``, lazily.

    Takes the keyword arguments of ``humidora.frame`` (temperature, relative_humidity, pressure, columns,
    ...). Returns a Dask DataFrame with the frame's result columns and "status", partitioned and indexed
    like ``ddf``; ``.compute()`` gives the same rows as ``humidora.frame`` on the whole frame.
    """
    import dask.dataframe as dd

    if not isinstance(ddf, dd.DataFrame):
        raise TypeError(f"ddf: expected a dask DataFrame, not {type(ddf).__name__}")
    # The empty frame of the result's columns and types, from the calculation itself; it also checks the
    # arguments before any work is sent out.
    meta = humidora.frame(ddf._meta, **kwargs)
    return ddf.map_partitions(humidora.frame, meta=meta, **kwargs)
