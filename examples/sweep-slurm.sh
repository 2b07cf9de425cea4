#!/bin/bash
# One sweep split over a Slurm array: each array task flies the points whose
# index mod the task count is its own id, on the cores Slurm gave it.
#
#   sbatch examples/sweep-slurm.sh
#   # when all tasks are done, join the parts in point order:
#   (head -n 1 sweep-0.csv; tail -q -n +2 sweep-*.csv | sort -t, -k1,1n) > sweep.csv
#
#SBATCH --job-name=skarvel-sweep
#SBATCH --array=0-3
#SBATCH --cpus-per-task=4
#SBATCH --output=sweep-%a.log
set -euo pipefail

skarvel-cli sweep glider.kxs \
    --vary 上下角=20:80:5 \
    --vary 初速=80:160:10 \
    -j "${SLURM_CPUS_PER_TASK:-1}" \
    --shard "${SLURM_ARRAY_TASK_ID}/${SLURM_ARRAY_TASK_COUNT}" \
    --quiet --out "sweep-${SLURM_ARRAY_TASK_ID}.csv"
