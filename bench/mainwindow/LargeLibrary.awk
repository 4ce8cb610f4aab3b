# Turns the shipped strategy list (tools/strategies.txt) into the list of a
# large library for tw_make_strategies, written to `out`: `groups` groups
# ("Book 001"...) of `per` strategies each, the shipped strategies taken in
# turn with their texts and legs, each caption numbered so that every one is
# its own.
#
#   awk -v groups=50 -v per=40 -v out=list.txt -f LargeLibrary.awk tools/strategies.txt
/^strategy:/ { n++; caption[n] = substr($0, 11); body[n] = ""; inside = 1; next }
/^group:/    { inside = 0; next }
/^(text|leg):/ { if (inside) body[n] = body[n] $0 "\n"; next }
END {
    print "# A large strategy library made from the shipped list (bench/mainwindow/LargeLibrary.awk)." > out
    k = 0
    for (g = 1; g <= groups; g++) {
        printf "\ngroup: Book %03d\ntext: Strategies of book %d.\n", g, g > out
        for (s = 1; s <= per; s++) {
            i = k % n + 1
            k++
            printf "\nstrategy: %s %d\n%s", caption[i], k, body[i] > out
        }
    }
}
