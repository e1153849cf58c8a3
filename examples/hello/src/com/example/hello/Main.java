package com.example.hello;

import com.example.greeting.Greeter;

/**
 * The example application: greets, then shows what it received from its launcher (the
 * program arguments, a property from the vmoptions file beside the executable, the
 * launcher's own properties) and ends with the exit code given by --exit.
 */
public final class Main {
    private Main() {
    }

    public static void main(String[] args) {
        Options options = Options.parse(args);
        System.out.println(new Greeter(options.greeting).greet(options.name));
        for (int i = 0; i < args.length; i++) {
            System.out.println("argument " + i + ": " + args[i]);
        }
        Report.properties("java.version", "hello.mode", "hello.source", "kestro.moduleName", "kestro.tempDir");
        if (options.exitCode != 0) {
            System.out.println("exiting with " + options.exitCode);
            System.exit(options.exitCode);
        }
    }
}
