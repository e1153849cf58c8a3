package com.example.hello;

/** The example's command line: --greeting TEXT, --exit N, and a name to greet. */
final class Options {
    String greeting = "Hello";
    String name = "world";
    int exitCode;

    static Options parse(String[] args) {
        Options options = new Options();
        for (int i = 0; i < args.length; i++) {
            if (args[i].equals("--greeting") && i + 1 < args.length) {
                options.greeting = args[++i];
            } else if (args[i].equals("--exit") && i + 1 < args.length) {
                options.exitCode = Integer.parseInt(args[++i]);
            } else {
                options.name = args[i];
            }
        }
        return options;
    }
}
