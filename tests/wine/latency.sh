# Gathers the latencies that the end-to-end scenarios measured and prints median and worst.
#   (sourced by run-wine-test.sh) WORK-NAME...   the e2e tests' work folders, by name
files=()
for name in "$@"; do
  [[ -f $WORK/../$name/latency.samples ]] && files+=("$WORK/../$name/latency.samples")
done
((${#files[@]})) || fail "no end-to-end scenario left latency samples: run the wine.e2e.* tests first"
for metric in key-to-client ringing-to-alert; do
  samples=$(cat "${files[@]}" | awk -v m="$metric" '$2 == m { print $3 }' | sort -g)
  n=$(grep -c . <<<"$samples" || true)
  ((n > 0)) || fail "no $metric samples were measured"
  median=$(awk '{ a[NR] = $1 } END { if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2 }' <<<"$samples")
  worst=$(tail -1 <<<"$samples")
  echo "latency $metric: n=$n median=${median} ms worst=${worst} ms"
done
